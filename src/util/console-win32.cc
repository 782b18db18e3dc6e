#include "util/console.h"

#include <io.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/console_bytes.h"
#include "util/ident.h"
#include "util/system_sleep.h"

TARVEK_IDENT("@(#)console-win32.cc 1.1 2026/12/10")

namespace tarvek {
namespace {

// Bytes or UTF-16 units converted and written in one go.
constexpr size_t kChunk = 2048;
// How Windows ends a console program on Ctrl+C (STATUS_CONTROL_C_EXIT).
constexpr UINT kControlCExit = 0xC000013A;

// The system's handle of `stream`, or INVALID_HANDLE_VALUE.
HANDLE handleOf(FILE* stream) {
  int fd = stream != nullptr ? _fileno(stream) : -1;
  return fd < 0 ? INVALID_HANDLE_VALUE
                : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// The console behind `stream`, or null when it is a file, a pipe or
// nothing. The last two handles asked about are remembered: tarvek writes
// to standard output and at most one report file.
HANDLE consoleOf(FILE* stream) {
  static HANDLE handles[2];
  static bool consoles[2];
  static int next;
  HANDLE handle = handleOf(stream);
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

// Writes `count` UTF-16 units to `console` as they are; no buffer of its
// own (the crash filter's last words use it).
bool writeConsoleUnits(HANDLE console, const wchar_t* units, size_t count) {
  while (count > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(console, units, static_cast<DWORD>(count), &written,
                       nullptr) ||
        written == 0)
      return false;
    units += written;
    count -= written;
  }
  return true;
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
    if (!writeConsoleUnits(console, lines, n)) return false;
  }
  return true;
}

// The transient line: its console, the cells it covers, whether the run's
// last words are out, the work of a run's last moment.
HANDLE lineConsole;
size_t shownCells;
bool ended;
void (*volatile interruptionWork)();
// The thread that writes the line now, or 0: Ctrl+C's thread waits for it.
volatile LONG writer;

// Takes the line; false when this thread holds it already (a crash filter
// that runs on the writing thread), which then goes on without waiting.
bool take() {
  const LONG self = static_cast<LONG>(GetCurrentThreadId());
  if (writer == self) return false;
  while (InterlockedCompareExchange(&writer, self, 0) != 0)
    sleepMilliseconds(1);
  return true;
}

void release(bool taken) {
  if (taken) InterlockedExchange(&writer, 0);
}

// The line's bytes, ASCII, widened one by one.
void writeAscii(const char* bytes, size_t size) {
  wchar_t units[256];
  while (size > 0) {
    size_t n = size < 256 ? size : 256;
    for (size_t i = 0; i < n; ++i)
      units[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    if (!writeConsoleUnits(lineConsole, units, n)) return;
    bytes += n;
    size -= n;
  }
}

// Erases the line (the line taken). One that fits on the cursor's row is
// blanked ("\r", blanks, "\r"); a longer one, which the console wrapped
// onto the rows above as it narrowed, is blanked on every row it may
// cover, the cursor then at the start of the first.
void eraseLine() {
  if (shownCells == 0) return;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(lineConsole, &info) && info.dwSize.X > 0 &&
      shownCells >= static_cast<size_t>(info.dwSize.X)) {
    SHORT above = static_cast<SHORT>(shownCells / info.dwSize.X);
    COORD first = {0, static_cast<SHORT>(info.dwCursorPosition.Y > above
                                             ? info.dwCursorPosition.Y - above
                                             : 0)};
    DWORD cells = static_cast<DWORD>(info.dwCursorPosition.Y - first.Y + 1) *
                  static_cast<DWORD>(info.dwSize.X);
    DWORD done;
    FillConsoleOutputCharacterW(lineConsole, L' ', cells, first, &done);
    SetConsoleCursorPosition(lineConsole, first);
  } else {
    char blanks[kLongestConsoleLine + 2];
    writeAscii(blanks, blankLineBytes(shownCells, blanks));
  }
  shownCells = 0;
}

// Erases the line for good, then does the run's last work.
void endLine() {
  bool taken = take();
  if (!ended) eraseLine();
  ended = true;
  release(taken);
  if (void (*work)() = interruptionWork) work();
}

// Runs on a thread of its own while the run waits or writes.
BOOL WINAPI interrupted(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT &&
      event != CTRL_CLOSE_EVENT)
    return FALSE;
  endLine();
  fflush(nullptr);
  writeText(stdout, "*** Interrupted\n");
  fflush(stdout);
  TerminateProcess(GetCurrentProcess(), kControlCExit);
  return TRUE;
}

}  // namespace

bool isConsole(FILE* stream) {
  return stream != nullptr && consoleOf(stream) != nullptr;
}

bool mayBeConsole(FILE* stream) {
  return isConsole(stream) || GetFileType(handleOf(stream)) == FILE_TYPE_CHAR;
}

int consoleColumns(FILE* stream) {
  HANDLE console = stream != nullptr ? consoleOf(stream) : nullptr;
  if (console == nullptr) return 0;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(console, &info) || info.dwSize.X <= 0)
    return kDefaultConsoleColumns;
  // The window's width when it shows less than a row holds.
  int window = info.srWindow.Right - info.srWindow.Left + 1;
  return window > 0 && window < info.dwSize.X ? window : info.dwSize.X;
}

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

size_t consoleLineRoom(FILE* stream) {
  return transientLineRoom(static_cast<size_t>(consoleColumns(stream)),
                           shownCells);
}

bool showConsoleLine(FILE* stream, const char* text, size_t size) {
  if (size > kLongestConsoleLine) size = kLongestConsoleLine;
  bool taken = take();
  bool open = !ended;
  if (open) {
    lineConsole = consoleOf(stream);
    char bytes[kConsoleShowRoom];
    size_t n = showLineBytes(text, size, shownCells, bytes);
    // A crash filter on this thread during the write erases the more of
    // the old line and the new one.
    if (shownCells < size) shownCells = size;
    writeAscii(bytes, n);
    shownCells = size;
  }
  release(taken);
  return open;
}

void eraseConsoleLine() {
  bool taken = take();
  if (!ended) eraseLine();
  release(taken);
}

void catchInterruptions() { SetConsoleCtrlHandler(interrupted, TRUE); }

void setInterruptionWork(void (*work)()) { interruptionWork = work; }

void writeLastWords(FILE* stream, const char* line, size_t size) {
  static wchar_t units[1024];
  endLine();
  fflush(nullptr);
  HANDLE handle = handleOf(stream);
  if (size > sizeof units / sizeof units[0])
    size = sizeof units / sizeof units[0];
  if (consoleOf(stream) != nullptr) {
    for (size_t i = 0; i < size; ++i)
      units[i] = static_cast<unsigned char>(line[i]);
    writeConsoleUnits(handle, units, size);
  } else {
    DWORD written;
    WriteFile(handle, line, static_cast<DWORD>(size), &written, nullptr);
  }
}

}  // namespace tarvek
