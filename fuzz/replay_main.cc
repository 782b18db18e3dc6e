// A plain driver for the fuzz targets (no clang, no libFuzzer): feeds every
// file of the directories it is given to the target's entry function once,
// in name order, so that a corpus input runs on every build. A target
// reports a fault by aborting; the input's name is printed before each run.
//
//   TARGET_replay DIR...
#include <dirent.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace {

bool readWhole(const std::string& path, std::vector<uint8_t>* bytes) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes->clear();
  uint8_t chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes->insert(bytes->end(), chunk, chunk + got);
  bool read = ferror(file) == 0;
  fclose(file);
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  // The paths are taken first: a target may change the working directory.
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    DIR* dir = opendir(argv[i]);
    if (dir == nullptr) {
      printf("replay: can't open the corpus %s\n", argv[i]);
      return 1;
    }
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] != '.')
        inputs.push_back(std::string(argv[i]) + "/" + entry->d_name);
    }
    closedir(dir);
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    printf("replay: no inputs\n");
    return 1;
  }
  std::vector<uint8_t> bytes;
  for (const std::string& input : inputs) {
    if (!readWhole(input, &bytes)) {
      printf("replay: can't read %s\n", input.c_str());
      return 1;
    }
    printf("replay %s\n", input.c_str());
    fflush(stdout);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
