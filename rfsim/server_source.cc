#include "rfsim/server_source.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "rfsim/demo_server.h"
#include "rfsim/server_model.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)server_source.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

enum class ReadResult { Ok, Missing, Unreadable };

// stat() tells "exists" from "doesn't" on both platforms. Only a regular file
// is read: POSIX fopen() opens a directory (only fread() fails) while Windows
// fopen() refuses it, and a device ("con.ini" on Windows) or a FIFO would
// block the read.
ReadResult readFile(const std::string& path, std::string* text,
                    std::string* why) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return ReadResult::Missing;
  if ((info.st_mode & S_IFMT) != S_IFREG) {
    *why = (info.st_mode & S_IFMT) == S_IFDIR ? "a directory, not a file"
                                              : "not a regular file";
    return ReadResult::Unreadable;
  }
  *why = "can't read the file";
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return ReadResult::Unreadable;
  char buffer[64 * 1024];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) text->append(buffer, n);
  bool failed = ferror(file) != 0;
  fclose(file);
  return failed ? ReadResult::Unreadable : ReadResult::Ok;
}

}  // namespace

bool hostNamesFile(const char* host) {
  size_t length = strlen(host);
  if (length == 0 || length > 255 || host[0] == '.') return false;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(host[i]);
    if (c < 0x20 || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

ServerSource findServer(const char* host) {
  ServerSource source;
  if (!host) return source;
  std::string folded = foldCase(host, strlen(host));
  const char* directory = getenv("RFSIM_SERVERS");
  if (directory && *directory && hostNamesFile(host)) {
    std::string path = directory;
    if (path.back() != '/' && path.back() != '\\') path += '/';
    source.fileName = folded + ".ini";
    path += source.fileName;
    switch (readFile(path, &source.text, &source.unreadable)) {
      case ReadResult::Ok:
        source.kind = SourceKind::File;
        source.counterKey = path;
        return source;
      case ReadResult::Unreadable:
        source.kind = SourceKind::Unreadable;
        source.text.clear();
        return source;
      case ReadResult::Missing:
        break;
    }
  }
  if (folded == "demo") {
    size_t length = 0;
    const char* text = demoServerText(&length);
    source.kind = SourceKind::BuiltIn;
    source.fileName = "demo (built-in)";
    source.counterKey = "<built-in>demo";  // no file path looks like this
    source.text.assign(text, length);
    return source;
  }
  source.fileName.clear();
  return source;
}

}  // namespace rfsim
