#include "util/text_output.h"

#include <io.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)text_output-win32.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

// Bytes or UTF-16 units converted and written in one go.
constexpr size_t kChunk = 2048;

// The console behind `stream`, or null when it is a file, a pipe or
// nothing. The last two handles asked about are remembered: tarvek writes
// to standard output and at most one report file.
HANDLE consoleOf(FILE* stream) {
  static HANDLE handles[2];
  static bool consoles[2];
  static int next;
  int fd = _fileno(stream);
  if (fd < 0) return nullptr;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return nullptr;
  for (int i = 0; i < 2; ++i)
    if (handles[i] == handle) return consoles[i] ? handle : nullptr;
  DWORD mode;
  bool console = GetConsoleMode(handle, &mode) != 0;
  handles[next] = handle;
  consoles[next] = console;
  next = 1 - next;
  return console ? handle : nullptr;
}

// How many of the first `size` bytes make whole characters of the ANSI code
// page, about `limit` of them (one more when a double-byte character
// straddles the limit).
size_t wholeCharacters(const char* text, size_t size, size_t limit) {
  static const UINT codePage = GetACP();
  static CPINFO info = [] {
    CPINFO got{};
    if (!GetCPInfo(codePage, &got)) got.MaxCharSize = 1;
    return got;
  }();
  if (size <= limit) return size;
  if (info.MaxCharSize == 1) return limit;
  size_t n = 0;
  if (codePage == CP_UTF8) {
    n = limit;
    // Back to the start of the character that the limit cuts.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n > 0 ? n : limit;
  }
  while (n < limit) n += IsDBCSLeadByteEx(codePage, text[n]) ? 2 : 1;
  return n < size ? n : size;
}

// Writes UTF-16 units to the console, each line end as CR LF (as a text
// stream writes it).
bool writeUnits(HANDLE console, const wchar_t* units, size_t count) {
  wchar_t lines[2 * kChunk];
  while (count > 0) {
    size_t used = 0, n = 0;
    while (used < count && n + 2 <= sizeof lines / sizeof lines[0]) {
      if (units[used] == L'\n') lines[n++] = L'\r';
      lines[n++] = units[used++];
    }
    units += used;
    count -= used;
    for (const wchar_t* rest = lines; n > 0;) {
      DWORD written = 0;
      if (!WriteConsoleW(console, rest, static_cast<DWORD>(n), &written,
                         nullptr) ||
          written == 0)
        return false;
      rest += written;
      n -= written;
    }
  }
  return true;
}

}  // namespace

bool writeText(FILE* stream, const char* text, size_t size) {
  HANDLE console = consoleOf(stream);
  while (console != nullptr && size > 0) {
    size_t n = wholeCharacters(text, size, kChunk);
    wchar_t units[kChunk + 1];
    int count = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(n), units,
                                    kChunk + 1);
    if (count <= 0 || !writeUnits(console, units, count)) break;
    text += n;
    size -= n;
  }
  // What the console didn't take goes to the stream, whose error it then
  // shows.
  return size == 0 || fwrite(text, 1, size, stream) == size;
}

bool writeText(FILE* stream, const char* text) {
  return writeText(stream, text, strlen(text));
}

// Formatted, then written as any other text: also to a file or a pipe,
// where Wine's vfprintf writes out at every call whatever the stream's
// buffering (Windows' keeps to it, as fwrite does on both).
void printTextV(FILE* stream, const char* format, va_list args) {
  char line[1024];
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(line, sizeof line, format, args);
  if (length >= 0 && static_cast<size_t>(length) < sizeof line) {
    writeText(stream, line, length);
  } else if (char* text = length < 0 ? nullptr
                                     : static_cast<char*>(malloc(length + 1))) {
    vsnprintf(text, length + 1, format, again);
    writeText(stream, text, length);
    free(text);
  } else {
    vfprintf(stream, format, again);
  }
  va_end(again);
}

void printText(FILE* stream, const char* format, ...) {
  va_list args;
  va_start(args, format);
  printTextV(stream, format, args);
  va_end(args);
}

bool isConsole(FILE* stream) { return consoleOf(stream) != nullptr; }

void writeWideText(FILE* stream, const wchar_t* text) {
  size_t count = wcslen(text);
  HANDLE console = consoleOf(stream);
  if (console != nullptr && writeUnits(console, text, count)) return;
  const UINT codePage = GetACP();
  const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
  // '?' for what the code page lacks, never a look-alike: a near match may
  // name another file.
  const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
  while (count > 0) {
    size_t n = count < kChunk ? count : kChunk;
    // A surrogate pair stays whole.
    if (n < count && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00) --n;
    char bytes[4 * kChunk];
    int length =
        WideCharToMultiByte(codePage, flags, text, static_cast<int>(n), bytes,
                            sizeof bytes, utf ? nullptr : "?", nullptr);
    if (length > 0) fwrite(bytes, 1, length, stream);
    text += n;
    count -= n;
  }
}

}  // namespace tarvek
