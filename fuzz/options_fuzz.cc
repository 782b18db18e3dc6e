// The option scan and the run on arbitrary argument vectors: the input is
// the arguments, each ended by a zero byte. Servers come from an empty
// directory, so a host is the built-in demo or no server at all; failed
// connection attempts don't pause. Report files are written only into a
// scratch directory (arguments holding '/' are not run) and removed after
// each run.
#include <dirent.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/user_list_program.h"
#include "fuzz/fuzz_target.h"

namespace {

void noPause(uint32_t) {}

void emptyWorkDirectory() {
  DIR* dir = opendir(".");
  if (dir == nullptr) return;
  while (dirent* entry = readdir(dir)) {
    if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
      unlink(entry->d_name);
  }
  closedir(dir);
}

char scratchRoot[] = "/tmp/tarvek-options-fuzz-XXXXXX";

void removeScratch() {
  if (chdir(scratchRoot) != 0) return;
  if (chdir("work") == 0) emptyWorkDirectory();
  if (chdir("/") != 0) return;
  std::string root = scratchRoot;
  rmdir((root + "/work").c_str());
  rmdir((root + "/servers").c_str());
  rmdir(root.c_str());
}

std::string& scratchDirectory() {
  static std::string path = [] {
    const char* made = mkdtemp(scratchRoot);
    if (made == nullptr) abort();
    atexit(removeScratch);
    std::string servers = std::string(made) + "/servers";
    std::string work = std::string(made) + "/work";
    if (mkdir(servers.c_str(), 0700) != 0 || mkdir(work.c_str(), 0700) != 0 ||
        chdir(work.c_str()) != 0)
      abort();
    setenv("RFSIM_SERVERS", servers.c_str(), 1);
    return work;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  scratchDirectory();
  std::vector<std::string> args{"tarvek"};
  size_t start = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != 0) continue;
    args.emplace_back(reinterpret_cast<const char*>(data) + start, i - start);
    start = i + 1;
  }
  if (args.size() > 64) return 0;
  std::vector<char*> argv;
  for (std::string& arg : args) {
    if (arg.find('/') != std::string::npos) return 0;
    argv.push_back(&arg[0]);
  }
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());

  tarvek::CommandLine line;
  if (tarvek::scanCommandLine(argc, argv.data(), &line)) {
    // A host, and patterns that are the tail of the vector up to its null.
    if (line.host == nullptr || line.outputName == nullptr) abort();
    if (line.patterns < argv.data() + 1 || line.patterns > argv.data() + argc)
      abort();
    if (line.format < tarvek::Default || line.format > tarvek::LongCsv) abort();
  }

  static FILE* console = fopen("/dev/null", "w");
  int code = tarvek::processMain(argc, argv.data(), console, noPause);
  if (code != 0 && code != 1 && code != 2 && code != 3 && code != 255) abort();
  emptyWorkDirectory();
  return 0;
}
