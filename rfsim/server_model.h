// One simulated server as its server file describes it: the [Server] values,
// the injected [Faults], the [Errors] texts, the listed users (only the
// fields their sections set; a load builds the whole record) and the
// [Generate] settings (users made on demand, never stored).
//
// A model is built by parseServerFile (rfsim/server_file.h) and is read-only
// afterwards; each connection owns the model it read.
#ifndef TARVEK_RFSIM_SERVER_MODEL_H_
#define TARVEK_RFSIM_SERVER_MODEL_H_

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "rfsim/checked_store.h"

namespace rfsim {

/// The listed users: key the user ID (letters without case), payload the
/// rest of the record as the file set it, in this form (little-endian):
///   ROW LENGTH(2) BYTES   a field of kUserInfoFields, its room's bytes up to
///                         the last non-zero one (fields left zero are absent)
///   0xFF OFFSET(2) LENGTH(2) BYTES   a Bytes@ patch, after the fields, in
///                         file order
constexpr unsigned char kPatchMark = 0xFF;

/// [Generate]: `users` synthetic users after the listed ones.
struct GeneratePlan {
  uint32_t users = 0;
  uint32_t groups = 10;
  uint32_t seed = 1;
};

/// [Faults]; every default injects nothing.
struct Faults {
  bool connectAlwaysFails = false;  ///< ConnectFailures=all
  uint32_t connectFailures = 0;     ///< the first N attempts fail
  int32_t connectError = 2;
  int32_t serverInfoError = 0;
  int32_t userListError = 0;
  int32_t sortError = 0;
  bool loadAlwaysFails = false;  ///< LoadUserFails=*
  TextIndex loadFails{true};     ///< IDs, without letter case
  bool listEnds = false;         ///< ListEndsAfter given
  uint32_t listEndsAfter = 0;
};

struct ServerModel {
  bool hasName = false;  ///< [Server] Name given (else the host, upper-cased)
  std::string name;
  uint32_t releaseMajor = 5;
  uint32_t releaseMinor = 20;
  int16_t zoneState = 0;
  int32_t bias = 0;
  int32_t standardBias = 0;
  int32_t daylightBias = 0;
  uint32_t latency = 0;  ///< milliseconds every call to the server waits
  Faults faults;
  TextIndex errorTexts;  ///< [Errors]: key the code's 4 bytes, payload the text
  TextIndex users{true};  ///< listed users in file order (see above)
  GeneratePlan generate;

  /// True when the release is `major`.`minor` or later.
  bool releaseAtLeast(uint32_t major, uint32_t minor) const;

  /// Listed and generated users together.
  size_t userCount() const { return users.size() + generate.users; }

  /// True when [Faults] LoadUserFails names `id` (or is `*`).
  bool loadFails(const char* id) const;

  /// Fills all kUserInfoSize bytes of `record` for the user whose ID is `id`
  /// (ASCII letters without case), patches applied. False, with `record`
  /// untouched, when there is no such user.
  bool loadUser(const char* id, unsigned char* record) const;

  /// Writes userCount() list elements of kElementSize bytes to `out`, in file
  /// order, generated users last.
  void writeElements(unsigned char* out) const;
};

/// Builds the record of a listed user from its payload (see above) into all
/// kUserInfoSize bytes of `record`.
void buildListedRecord(const char* id, size_t idLength,
                       const unsigned char* payload, size_t length,
                       unsigned char* record);

/// `text` with the letters A-Z folded to a-z (no other byte changed).
std::string foldCase(const char* text, size_t length);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_SERVER_MODEL_H_
