// Writing text to a stream. The bytes go out as they are, except on a
// Windows console: there they are read in the ANSI code page and reach the
// console as UTF-16, so that it shows the characters they stand for
// whatever its own code page.
#ifndef TARVEK_UTIL_TEXT_OUTPUT_H_
#define TARVEK_UTIL_TEXT_OUTPUT_H_

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

namespace tarvek {

/// Writes `size` bytes of text to `stream`; true when all of them were
/// accepted. On a console they are written at once; elsewhere through the
/// stream's buffer.
bool writeText(FILE* stream, const char* text, size_t size);

/// writeText for a terminated text.
bool writeText(FILE* stream, const char* text);

/// printf to `stream` through writeText.
void printText(FILE* stream, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void printTextV(FILE* stream, const char* format, va_list args);

#if defined(_WIN32)
/// True when `stream` is a console (not a file, a pipe or nothing).
bool isConsole(FILE* stream);

/// Writes a text of the system's (UTF-16, such as a folder's name): as it
/// is on a console, in the ANSI code page ('?' for what it can't hold)
/// everywhere else.
void writeWideText(FILE* stream, const wchar_t* text);
#endif

}  // namespace tarvek

#endif  // TARVEK_UTIL_TEXT_OUTPUT_H_
