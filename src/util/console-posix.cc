#include "util/console.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "util/console_bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)console-posix.cc 1.1 2026/12/10")

namespace tarvek {
namespace {

// Room for the bytes that erase the line with the echo after it: a row of
// blanks, or a row's erasure for each row it may cover.
constexpr size_t kEraseRoom = 8 * (kLongestConsoleLine + kConsoleEchoCells) + 8;
// Signals that end a run, each with its default action.
constexpr int kEndingSignals[] = {SIGINT,  SIGTERM, SIGPIPE,
                                  SIGQUIT, SIGHUP,  SIGXFSZ};

// The line's stream, for the run; its terminal and the cells the line
// covers, for the signal handler too (while the line changes, the more of
// the old and the new one).
FILE* lineStream;
volatile sig_atomic_t lineFd = -1;
volatile sig_atomic_t shownCells;
void (*volatile interruptionWork)();

int terminalColumns(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
    return kDefaultConsoleColumns;
  return size.ws_col;
}

// Whether the run's process group is the terminal's foreground group: a
// run in the background leaves the line the user types on alone. A
// terminal that isn't the run's own can't tell: as in the foreground.
bool inForeground(int fd) {
  pid_t group = tcgetpgrp(fd);
  return group == -1 || group == getpgrp();
}

// The bytes that erase `cells` cells of a line that ends at the cursor, on
// a terminal `columns` wide, into `bytes` (kEraseRoom); returns their
// count. A line that fits on the cursor's row is blanked ("\r", blanks,
// "\r"); a longer one, which the terminal may have wrapped onto the rows
// above since it narrowed, is erased row by row from the cursor's upward.
// Async-signal-safe.
size_t erasure(size_t cells, int columns, char* bytes) {
  if (cells < static_cast<size_t>(columns)) return blankLineBytes(cells, bytes);
  size_t n = 0;
  bytes[n++] = '\r';
  // Erase the row, then up a row and again, as many rows as it may cover.
  static const char kEraseRow[] = "\x1b[K", kUp[] = "\x1b[A";
  size_t above = cells / static_cast<size_t>(columns);
  for (size_t row = 0; row <= above && n + 6 <= kEraseRoom; ++row) {
    if (row > 0)
      for (const char* c = kUp; *c != '\0'; ++c) bytes[n++] = *c;
    for (const char* c = kEraseRow; *c != '\0'; ++c) bytes[n++] = *c;
  }
  return n;
}

// Ends the run after the line is erased (with the echo of the key that
// may have sent the signal) and the run's last work is done: the signal is
// delivered again, as the handler returns, to its default action.
void interrupted(int number) {
  int fd = lineFd;
  size_t cells = static_cast<size_t>(shownCells);
  if (cells > 0 && fd >= 0 && inForeground(fd)) {
    if (number == SIGINT || number == SIGQUIT) cells += kConsoleEchoCells;
    char bytes[kEraseRoom];
    size_t n = erasure(cells, terminalColumns(fd), bytes);
    for (size_t done = 0; done < n;) {
      ssize_t written = write(fd, bytes + done, n - done);
      if (written <= 0) break;
      done += static_cast<size_t>(written);
    }
  }
  if (void (*work)() = interruptionWork) work();
  signal(number, SIG_DFL);
  raise(number);
}

// Writes the line's bytes through its stream, after what the stream holds;
// the line then covers `shown` cells.
void writeLine(const char* bytes, size_t size, size_t shown) {
  if (static_cast<size_t>(shownCells) < shown)
    shownCells = static_cast<sig_atomic_t>(shown);
  fwrite(bytes, 1, size, lineStream);
  fflush(lineStream);
  shownCells = static_cast<sig_atomic_t>(shown);
}

}  // namespace

bool isConsole(FILE* stream) {
  int fd = stream != nullptr ? fileno(stream) : -1;
  return fd >= 0 && isatty(fd);
}

bool mayBeConsole(FILE* stream) { return isConsole(stream); }

int consoleColumns(FILE* stream) {
  return isConsole(stream) ? terminalColumns(fileno(stream)) : 0;
}

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

size_t consoleLineRoom(FILE* stream) {
  if (!isConsole(stream)) return 0;
  int fd = fileno(stream);
  if (!inForeground(fd)) {
    // Gone to the background: what the line showed is left as it is.
    if (fd == lineFd) shownCells = 0;
    return 0;
  }
  return transientLineRoom(static_cast<size_t>(terminalColumns(fd)),
                           fd == lineFd ? static_cast<size_t>(shownCells) : 0);
}

bool showConsoleLine(FILE* stream, const char* text, size_t size) {
  if (size > kLongestConsoleLine) size = kLongestConsoleLine;
  lineStream = stream;
  lineFd = fileno(stream);
  char bytes[kConsoleShowRoom];
  writeLine(bytes,
            showLineBytes(text, size, static_cast<size_t>(shownCells), bytes),
            size);
  return true;
}

void eraseConsoleLine() {
  size_t cells = static_cast<size_t>(shownCells);
  if (cells == 0 || lineStream == nullptr) return;
  int fd = lineFd;
  if (!inForeground(fd)) {
    shownCells = 0;
    return;
  }
  char bytes[kEraseRoom];
  size_t n = erasure(cells, terminalColumns(fd), bytes);
  fwrite(bytes, 1, n, lineStream);
  fflush(lineStream);
  shownCells = 0;
}

void catchInterruptions() {
  static bool caught;
  if (caught) return;
  caught = true;
  struct sigaction action {};
  action.sa_handler = interrupted;
  sigemptyset(&action.sa_mask);
  for (int number : kEndingSignals) sigaddset(&action.sa_mask, number);
  for (int number : kEndingSignals) {
    struct sigaction old {};
    if (sigaction(number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
      sigaction(number, &action, nullptr);
  }
}

void setInterruptionWork(void (*work)()) { interruptionWork = work; }

}  // namespace tarvek
