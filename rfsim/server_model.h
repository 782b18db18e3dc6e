// One simulated server as its server file describes it: the [Server] values,
// the injected [Faults], the [Errors] texts, the listed users (records kept
// whole) and the [Generate] settings (users made on demand, never stored).
//
// A model is built by parseServerFile (rfsim/server_file.h) and is read-only
// afterwards; each connection owns the model it read.
#ifndef TARVEK_RFSIM_SERVER_MODEL_H_
#define TARVEK_RFSIM_SERVER_MODEL_H_

#include <stddef.h>
#include <stdint.h>

#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace rfsim {

/// Raw bytes that `Bytes@OFFSET` writes into a loaded record.
struct BytePatch {
  uint16_t offset = 0;
  std::vector<unsigned char> bytes;
};

/// A user of a [GROUP\USERID] section.
struct ListedUser {
  std::vector<unsigned char> record;  ///< kUserInfoSize bytes, without patches
  std::vector<BytePatch> patches;     ///< applied to loads only, in file order
};

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
  bool loadAlwaysFails = false;              ///< LoadUserFails=*
  std::unordered_set<std::string> loadFails;  ///< IDs, A-Z folded to a-z
  bool listEnds = false;                      ///< ListEndsAfter given
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
  Faults faults;
  std::map<int32_t, std::string> errorTexts;  ///< [Errors]
  std::vector<ListedUser> users;              ///< in file order
  std::unordered_map<std::string, uint32_t> userIndex;  ///< folded ID -> index
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

/// `text` with the letters A-Z folded to a-z (no other byte changed).
std::string foldCase(const char* text, size_t length);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_SERVER_MODEL_H_
