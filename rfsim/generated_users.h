// The synthetic users of [Generate]: user number n (1-based) has the ID
// "user%07u", the group "group%02u" of ((n - 1) mod Groups) + 1 and a name and
// fields drawn from a hash of (Seed, n). Nothing is stored per user: list
// elements and records are computed from the number whenever they are asked
// for, so the same Seed always gives the same users.
#ifndef TARVEK_RFSIM_GENERATED_USERS_H_
#define TARVEK_RFSIM_GENERATED_USERS_H_

#include <stddef.h>
#include <stdint.h>

#include "rfsim/server_model.h"

namespace rfsim {

/// The most users [Generate] Users may ask for (also the most groups).
constexpr uint32_t kMaxGeneratedUsers = 10000000;

/// Room for a generated ID, group or name, terminating zero included.
constexpr size_t kGeneratedTextRoom = 42;

/// Writes the ID of user `number` ("user0000001") to `out`; returns its length.
size_t formatGeneratedUserId(uint32_t number, char* out);

/// Writes the name of group `group` ("group01", "group100") to `out`.
size_t formatGeneratedGroupId(uint32_t group, char* out);

/// The number of the generated user whose ID is `id` (`length` bytes, ASCII
/// letters without case) among `count` generated users; 0 when `id` is not
/// exactly such an ID (e.g. "user1" or "user00000001").
uint32_t generatedUserNumber(const char* id, size_t length, uint32_t count);

/// Writes the kElementSize-byte list element of user `number`.
void writeGeneratedElement(const GeneratePlan& plan, uint32_t number,
                           unsigned char* element);

/// Fills all kUserInfoSize bytes of `record` for user `number`.
void fillGeneratedRecord(const GeneratePlan& plan, uint32_t number,
                         unsigned char* record);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_GENERATED_USERS_H_
