// Where a host text leads (README, "Simulated servers"): a NAME.ini
// file in the directory named by RFSIM_SERVERS, else the built-in server
// `demo`, else nowhere. A host text that could reach outside the directory
// never names a file.
#ifndef TARVEK_RFSIM_SERVER_SOURCE_H_
#define TARVEK_RFSIM_SERVER_SOURCE_H_

#include <stddef.h>
#include <stdio.h>

#include <string>

namespace rfsim {

enum class SourceKind {
  File,        ///< `file` is open for reading, and the caller's to close
  BuiltIn,     ///< `text` holds the built-in server's file text
  NotFound,    ///< no such file (or directory) and no built-in server
  Unreadable,  ///< the file can't be looked at or read, or is too large
};

struct ServerSource {
  SourceKind kind = SourceKind::NotFound;
  std::string fileName;    ///< for messages: "alpha.ini", or "demo (built-in)"
  std::string counterKey;  ///< identifies the server for ConnectFailures
  FILE* file = nullptr;
  const char* text = nullptr;  ///< static text
  size_t textLength = 0;
  std::string unreadable;  ///< Unreadable: why, as a short phrase
};

/// True when `host` may name a file: 1 to 255 bytes, not beginning with '.',
/// without '/', '\', ':' and bytes below 0x20.
bool hostNamesFile(const char* host);

/// Resolves `host` (may be null: not found) and opens the server's file.
ServerSource findServer(const char* host);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_SERVER_SOURCE_H_
