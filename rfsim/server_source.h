// Where a host text leads (README, "Simulated servers"): a NAME.ini
// file in the directory named by RFSIM_SERVERS, else the built-in server
// `demo`, else nowhere. A host text that could reach outside the directory
// never names a file.
#ifndef TARVEK_RFSIM_SERVER_SOURCE_H_
#define TARVEK_RFSIM_SERVER_SOURCE_H_

#include <string>

namespace rfsim {

enum class SourceKind {
  File,        ///< `text` holds the file's bytes
  BuiltIn,     ///< `text` holds the built-in server's file text
  NotFound,    ///< no file and no built-in server of that name
  Unreadable,  ///< the file exists but can't be read (a directory, no access)
};

struct ServerSource {
  SourceKind kind = SourceKind::NotFound;
  std::string fileName;    ///< for messages: "alpha.ini", or "demo (built-in)"
  std::string counterKey;  ///< identifies the server for ConnectFailures
  std::string text;
  std::string unreadable;  ///< Unreadable: why, as a short phrase
};

/// True when `host` may name a file: 1 to 255 bytes, not beginning with '.',
/// without '/', '\', ':' and bytes below 0x20.
bool hostNamesFile(const char* host);

/// Resolves `host` (may be null: not found) and reads the server's text.
ServerSource findServer(const char* host);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_SERVER_SOURCE_H_
