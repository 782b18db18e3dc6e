#include "util/console_line.h"

#include <io.h>
#include <string.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/ident.h"
#include "util/text_output.h"

TARVEK_IDENT("@(#)console_line-win32.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

// The console's width when it doesn't tell.
constexpr int kDefaultColumns = 80;

HANDLE lineConsole;
size_t shownCells;
bool ended;
// The thread that writes the line now, or 0: Ctrl+C's thread waits for it.
volatile LONG writer;

HANDLE consoleHandle(FILE* stream) {
  int fd = _fileno(stream);
  return fd < 0 ? INVALID_HANDLE_VALUE
                : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// Takes the line; false when this thread holds it already (a crash filter
// that runs on the writing thread), which then goes on without waiting.
bool take() {
  const LONG self = static_cast<LONG>(GetCurrentThreadId());
  if (writer == self) return false;
  while (InterlockedCompareExchange(&writer, self, 0) != 0) Sleep(1);
  return true;
}

void release(bool taken) {
  if (taken) InterlockedExchange(&writer, 0);
}

// The line's bytes are ASCII: widened one by one.
void writeAscii(HANDLE console, const char* bytes, size_t size) {
  wchar_t units[256];
  while (size > 0) {
    size_t n = size < 256 ? size : 256;
    for (size_t i = 0; i < n; ++i)
      units[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    DWORD written = 0;
    if (!WriteConsoleW(console, units, static_cast<DWORD>(n), &written,
                       nullptr) ||
        written == 0)
      return;
    bytes += written;
    size -= written;
  }
}

}  // namespace

int consoleColumns(FILE* stream) {
  if (stream == nullptr || !isConsole(stream)) return 0;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(consoleHandle(stream), &info) ||
      info.dwSize.X <= 0)
    return kDefaultColumns;
  // The window's width when it shows less than a row holds.
  int window = info.srWindow.Right - info.srWindow.Left + 1;
  return window > 0 && window < info.dwSize.X ? window : info.dwSize.X;
}

bool mayBeConsole(FILE* stream) {
  return stream != nullptr &&
         (isConsole(stream) ||
          GetFileType(consoleHandle(stream)) == FILE_TYPE_CHAR);
}

bool writeConsoleLine(FILE* stream, const char* bytes, size_t size,
                      size_t shown) {
  bool taken = take();
  bool open = !ended;
  if (open) {
    lineConsole = consoleHandle(stream);
    // A crash filter on this thread during the write blanks the more of
    // the old line and the new one.
    if (shownCells < shown) shownCells = shown;
    writeAscii(lineConsole, bytes, size);
    shownCells = shown;
  }
  release(taken);
  return open;
}

void endConsoleLine() {
  bool taken = take();
  if (!ended && shownCells > 0) {
    char blanks[256];
    memset(blanks, ' ', sizeof blanks);
    writeAscii(lineConsole, "\r", 1);
    for (size_t left = shownCells, n; left > 0; left -= n) {
      n = left < sizeof blanks ? left : sizeof blanks;
      writeAscii(lineConsole, blanks, n);
    }
    writeAscii(lineConsole, "\r", 1);
    shownCells = 0;
  }
  ended = true;
  release(taken);
}

}  // namespace tarvek
