#include "util/console_line.h"

#include <signal.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)console_line-posix.cc 1.2 2026/12/09")

namespace tarvek {
namespace {

// The terminal's width when it doesn't tell.
constexpr int kDefaultColumns = 80;
// Signals that end a run while the line may show.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM};

FILE* lineStream;
bool ended;
// Read by the signal handler: the terminal and the cells to blank (while
// a line is written, the more of the old and the new one).
volatile sig_atomic_t lineFd = -1;
volatile sig_atomic_t shownCells;

// Blanks for the signal handler, made before it can run.
char blanks[64];

void blank(int fd, size_t cells) {
  if (write(fd, "\r", 1) < 0) return;
  while (cells > 0) {
    size_t n = cells < sizeof blanks ? cells : sizeof blanks;
    if (write(fd, blanks, n) <= 0) return;
    cells -= n;
  }
  if (write(fd, "\r", 1) < 0) return;
}

// Ctrl+C or a kill while the line shows: the line is blanked, then the
// signal ends the run as it would have (delivered again, as the handler
// returns, to the default action).
void endingSignal(int number) {
  // Two cells more: the terminal echoes Ctrl+C as "^C" after the line.
  if (shownCells > 0 && lineFd >= 0)
    blank(lineFd, static_cast<size_t>(shownCells) + 2);
  signal(number, SIG_DFL);
  raise(number);
}

// Once, before the first line: a signal that the run doesn't ignore gets
// the handler.
void catchEndingSignals() {
  static bool caught;
  if (caught) return;
  caught = true;
  memset(blanks, ' ', sizeof blanks);
  for (int number : kEndingSignals) {
    struct sigaction old {};
    if (sigaction(number, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
      continue;
    struct sigaction action {};
    action.sa_handler = endingSignal;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
  }
}

}  // namespace

int consoleColumns(FILE* stream) {
  int fd = stream != nullptr ? fileno(stream) : -1;
  if (fd < 0 || !isatty(fd)) return 0;
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
    return kDefaultColumns;
  return size.ws_col;
}

bool mayBeConsole(FILE* stream) {
  int fd = stream != nullptr ? fileno(stream) : -1;
  return fd >= 0 && isatty(fd);
}

bool writeConsoleLine(FILE* stream, const char* bytes, size_t size,
                      size_t shown) {
  if (ended) return false;
  catchEndingSignals();
  lineStream = stream;
  lineFd = fileno(stream);
  if (static_cast<size_t>(shownCells) < shown)
    shownCells = static_cast<sig_atomic_t>(shown);
  // Through the stream, after what it holds already.
  fwrite(bytes, 1, size, stream);
  fflush(stream);
  shownCells = static_cast<sig_atomic_t>(shown);
  return true;
}

void endConsoleLine() {
  if (ended) return;
  ended = true;
  if (shownCells == 0 || lineStream == nullptr) return;
  fflush(lineStream);
  blank(fileno(lineStream), static_cast<size_t>(shownCells));
  shownCells = 0;
}

}  // namespace tarvek
