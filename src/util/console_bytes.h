// What both platforms' consoles (console-posix.cc, console-win32.cc) do
// alike with the transient line: the room it gets and the bytes that show
// and blank it. Async-signal-safe.
#ifndef TARVEK_UTIL_CONSOLE_BYTES_H_
#define TARVEK_UTIL_CONSOLE_BYTES_H_

#include <stddef.h>

namespace tarvek {

/// A console's width when it doesn't tell.
constexpr int kDefaultConsoleColumns = 80;
/// Cells a terminal echoes after the line for a key that ends the run
/// ("^C", "^\"); the line leaves room for them and the cursor.
constexpr size_t kConsoleEchoCells = 2;
/// The longest transient line.
constexpr size_t kLongestConsoleLine = 160;
/// Room for the bytes of showLine.
constexpr size_t kConsoleShowRoom = 2 * kLongestConsoleLine + 2;

/// The most characters the line may show on a console `columns` wide where
/// it covers `shown` cells now: 0 when the console has narrowed below it
/// (it stays as the console has it until the console is wide enough
/// again, and unwraps it).
inline size_t transientLineRoom(size_t columns, size_t shown) {
  if (shown >= columns || columns <= 1 + kConsoleEchoCells) return 0;
  size_t room = columns - 1 - kConsoleEchoCells;
  return room < kLongestConsoleLine ? room : kLongestConsoleLine;
}

/// "\r", `cells` blanks, "\r" into `bytes` (room for cells + 2); their
/// count.
inline size_t blankLineBytes(size_t cells, char* bytes) {
  size_t n = 0;
  bytes[n++] = '\r';
  while (n <= cells) bytes[n++] = ' ';
  bytes[n++] = '\r';
  return n;
}

/// The bytes that show `size` (at most kLongestConsoleLine) characters of
/// `text` in place of a line of `shown` cells, into `bytes` (kConsoleShowRoom):
/// at the row's start, a shorter text than the last one blanking that first.
inline size_t showLineBytes(const char* text, size_t size, size_t shown,
                            char* bytes) {
  size_t n = size < shown ? blankLineBytes(shown, bytes) : 0;
  if (n == 0) bytes[n++] = '\r';
  for (size_t i = 0; i < size; ++i) bytes[n++] = text[i];
  return n;
}

}  // namespace tarvek

#endif  // TARVEK_UTIL_CONSOLE_BYTES_H_
