#include "rfsim/server_source.h"

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "rfsim/demo_server.h"
#include "rfsim/server_file.h"
#include "rfsim/server_model.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)server_source.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

// The bytes that end a directory name: on Windows '\\' and ':' ("C:") too.
#if defined(_WIN32)
constexpr char kSeparators[] = "/\\:";
#else
constexpr char kSeparators[] = "/";
#endif

// Only "no such file" is missing: any other failure to look at the file
// (no permission on the directory, a symbolic-link loop, a name too long, an
// I/O error) makes it unreadable, with the reason. stat() tells "exists"
// from "doesn't" on both platforms. Only a regular file is opened: POSIX
// fopen() opens a directory (only fread() fails) while Windows fopen()
// refuses it, and a device ("con.ini" on Windows) or a FIFO would block the
// read.
SourceKind openFile(const std::string& path, FILE** file, std::string* why) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    int number = errno;
    if (number == ENOENT || number == ENOTDIR) return SourceKind::NotFound;
    *why = std::string("can't look at the file: ") + strerror(number);
    return SourceKind::Unreadable;
  }
  if ((info.st_mode & S_IFMT) != S_IFREG) {
    *why = (info.st_mode & S_IFMT) == S_IFDIR ? "a directory, not a file"
                                              : "not a regular file";
    return SourceKind::Unreadable;
  }
  if (static_cast<uint64_t>(info.st_size) > kMaxServerFileSize) {
    *why = kFileTooLargePhrase;
    return SourceKind::Unreadable;
  }
  *file = fopen(path.c_str(), "rb");
  if (*file == nullptr) {
    *why = readFailure(errno);
    return SourceKind::Unreadable;
  }
  return SourceKind::File;
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
    if (!strchr(kSeparators, path.back())) path += '/';
    source.fileName = folded + ".ini";
    path += source.fileName;
    source.kind = openFile(path, &source.file, &source.unreadable);
    if (source.kind == SourceKind::File) source.counterKey = path;
    if (source.kind != SourceKind::NotFound) return source;
  }
  if (folded == "demo") {
    size_t length = 0;
    const char* text = demoServerText(&length);
    source.kind = SourceKind::BuiltIn;
    source.fileName = "demo (built-in)";
    source.counterKey = "<built-in>demo";  // no file path looks like this
    source.text = text;
    source.textLength = length;
    return source;
  }
  source.fileName.clear();
  return source;
}

}  // namespace rfsim
