#include "app/command_line.h"

#include <string.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)command_line.cc 1.3 2026/12/09")

namespace tarvek {

bool scanCommandLine(int argc, char** argv, CommandLine* line) {
  if (argc < 2) return false;
  int i = 1;
  for (; i < argc && (argv[i][0] == '-' || strcmp(argv[i], "/?") == 0); ++i) {
    const char* arg = argv[i];
    bool hasNext = i + 1 < argc;
    if (strcmp(arg, "-g") == 0 && hasNext) {
      line->groupPattern = argv[++i];
    } else if (strcmp(arg, "-l") == 0) {
      line->format = Long;
    } else if (strcmp(arg, "-lc") == 0) {
      line->format = LongCsv;
    } else if (strcmp(arg, "-ls") == 0) {
      line->format = Short;
    } else if (strcmp(arg, "-o") == 0 && hasNext) {
      line->outputName = argv[++i];
    } else if (strcmp(arg, "-s") == 0 && hasNext) {
      line->host = argv[++i];
    } else if (strcmp(arg, "-t") == 0) {
      line->sortList = true;
    } else {
      return false;  // "-?", "/?", unknown, or missing its argument
    }
  }
  if (line->host == nullptr && i < argc) line->host = argv[i++];
  if (line->host == nullptr) return false;
  line->patterns = argv + i;
  return true;
}

int firstInexactArgument(int argc, char** argv, const bool* exact) {
  CommandLine line;
  if (!scanCommandLine(argc, argv, &line)) return 0;
  for (int i = 1; i < argc; ++i) {
    if (!exact[i] && argv[i] != line.outputName) return i;
  }
  return 0;
}

}  // namespace tarvek
