#include "app/arguments.h"

#include "util/ident.h"
#include "util/text_output.h"

TARVEK_IDENT("@(#)arguments-posix.cc 1.1 2026/12/09")

namespace tarvek {

bool takeArguments(int*, char***, FILE*) { return true; }

FILE* openReportFile(const char* name) { return fopen(name, "w"); }

void writeArgument(FILE* stream, const char* argument) {
  writeText(stream, argument);
}

}  // namespace tarvek
