// The one registry of rfsim's state: open servers and lists under their
// handles, connection attempts per server, and the error texts that
// RFaxStringRFaxErr gives. Single-threaded, like the callers it serves.
#ifndef TARVEK_RFSIM_REGISTRY_H_
#define TARVEK_RFSIM_REGISTRY_H_

#include <stddef.h>
#include <stdint.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "rfsim/checked_store.h"
#include "rfsim/server_model.h"
#include "server/rfax_api.h"

namespace rfsim {

/// A user list: the elements in file order and the order of delivery.
struct OpenList {
  RFaxHandle server = 0;
  CheckedArray<unsigned char> elements;  ///< kElementSize bytes each
  CheckedArray<uint32_t> order;          ///< element numbers, as sorted
  size_t next = 0;                       ///< position the next fetch delivers
  size_t limit = 0;                      ///< fetches end here (ListEndsAfter)
  int32_t sortError = 0;
};

class Registry {
 public:
  /// The process's registry.
  static Registry& instance();

  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  /// Takes the model of a new connection; returns its handle.
  RFaxHandle addServer(std::unique_ptr<ServerModel> model);
  /// Takes a new list of the open server `server`; returns its handle.
  RFaxHandle addList(std::unique_ptr<OpenList> list);

  /// The open server or list of `handle`, or null (0, unknown, closed, or a
  /// handle of the other kind).
  const ServerModel* server(RFaxHandle handle) const;
  OpenList* list(RFaxHandle handle) const;

  /// Closes the server and every list still open on it; false if not open.
  bool closeServer(RFaxHandle handle);
  /// False if the list is not open.
  bool closeList(RFaxHandle handle);

  /// Counts one more connection attempt to the server `key`; returns the
  /// attempt's number (1 for the first in the process).
  uint32_t countAttempt(const std::string& key);

  /// The [Errors] texts of the server read most recently (empty: none),
  /// in the form of ServerModel::errorTexts.
  void setErrorTexts(TextIndex texts);
  /// The text of the most recent code-3 failure.
  void setFileError(std::string text);
  /// Copies the text of `code` ([Errors], else built-in, else "Unknown error
  /// CODE") into `buffer`, at most `size` - 1 bytes and a terminating zero.
  void copyErrorText(int32_t code, char* buffer, size_t size) const;

  /// Forgets every handle, counter and text (handles are never reused).
  void reset();

 private:
  RFaxHandle newHandle();
  void forgetCachedList();

  uint32_t lastHandle_ = 0x00A51000;
  std::unordered_map<RFaxHandle, std::unique_ptr<ServerModel>> servers_;
  std::unordered_map<RFaxHandle, std::unique_ptr<OpenList>> lists_;
  // The list found last: a walk asks for the same list once per element.
  mutable RFaxHandle cachedListHandle_ = 0;
  mutable OpenList* cachedList_ = nullptr;
  std::unordered_map<std::string, uint32_t> attempts_;
  TextIndex errorTexts_;
  std::string fileError_;
};

}  // namespace rfsim

#endif  // TARVEK_RFSIM_REGISTRY_H_
