#include "app/arguments.h"

#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)arguments-posix.cc 1.2 2026/12/09")

namespace tarvek {

ArgumentsTaken takeArguments(int*, char***, FILE*) {
  return ArgumentsTaken::kYes;
}

FILE* openReportFile(const char* name) { return fopen(name, "w"); }

void writeArgument(FILE* stream, const char* argument) {
  writeText(stream, argument);
}

}  // namespace tarvek
