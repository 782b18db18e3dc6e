// Records that cross the client-library boundary, as byte layouts. Every
// record is packed and little-endian; fields are read with util/bytes.h at
// the offsets named here. The user information record and the user list
// element have headers of their own: server/user_info_record.h and
// server/user_list_element.h.
//
// ServerInfoRecord (904 bytes), the fields the program reads:
//
//   offset  width  content
//   ------  -----  -----------------------------------------------------
//       12  text   the server's own name, zero-terminated
//      396  i16    zone state: 2 = standard bias, 3 = daylight bias
//      398  i32    Bias, minutes            (TIME_ZONE_INFORMATION, 172
//      482  i32    StandardBias, minutes     bytes from offset 398)
//      566  i32    DaylightBias, minutes
#ifndef TARVEK_SERVER_RECORDS_H_
#define TARVEK_SERVER_RECORDS_H_

#include <stddef.h>

namespace tarvek {

constexpr size_t kServerInfoSize = 904;
constexpr size_t kServerNameOffset = 12;
constexpr size_t kServerNameRoom = 384;  // 383 bytes and the zero
constexpr size_t kZoneStateOffset = 396;
constexpr size_t kTimeZoneOffset = 398;
constexpr size_t kTimeZoneSize = 172;
constexpr size_t kBiasOffset = 398;
constexpr size_t kStandardBiasOffset = 482;
constexpr size_t kDaylightBiasOffset = 566;

static_assert(kServerNameOffset + kServerNameRoom == kZoneStateOffset,
              "server name room");
static_assert(kZoneStateOffset + 2 == kTimeZoneOffset, "zone state width");
// The time-zone block is a Windows TIME_ZONE_INFORMATION: Bias, then per
// half a 32-character UTF-16 name and a 16-byte SYSTEMTIME before its bias.
static_assert(kBiasOffset == kTimeZoneOffset, "Bias opens the block");
static_assert(kStandardBiasOffset == kBiasOffset + 4 + 64 + 16,
              "StandardBias after StandardName and StandardDate");
static_assert(kDaylightBiasOffset == kStandardBiasOffset + 4 + 64 + 16,
              "DaylightBias after DaylightName and DaylightDate");
static_assert(kDaylightBiasOffset + 4 == kTimeZoneOffset + kTimeZoneSize,
              "DaylightBias closes the block");
static_assert(kTimeZoneOffset + kTimeZoneSize <= kServerInfoSize,
              "time-zone block fits the record");

}  // namespace tarvek

#endif  // TARVEK_SERVER_RECORDS_H_
