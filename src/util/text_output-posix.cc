#include "util/text_output.h"

#include <string.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)text_output-posix.cc 1.1 2026/12/09")

namespace tarvek {

bool writeText(FILE* stream, const char* text, size_t size) {
  return size == 0 || fwrite(text, 1, size, stream) == size;
}

bool writeText(FILE* stream, const char* text) {
  return fputs(text, stream) >= 0;
}

void printTextV(FILE* stream, const char* format, va_list args) {
  vfprintf(stream, format, args);
}

void printText(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vfprintf(stream, format, args);
  va_end(args);
}

}  // namespace tarvek
