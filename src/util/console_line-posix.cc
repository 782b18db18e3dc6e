#include "util/console_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)console_line-posix.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

// The terminal's width when it doesn't tell.
constexpr int kDefaultColumns = 80;

FILE* lineStream;
size_t shownCells;
bool ended;

}  // namespace

int consoleColumns(FILE* stream) {
  int fd = stream != nullptr ? fileno(stream) : -1;
  if (fd < 0 || !isatty(fd)) return 0;
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
    return kDefaultColumns;
  return size.ws_col;
}

bool writeConsoleLine(FILE* stream, const char* bytes, size_t size,
                      size_t shown) {
  if (ended) return false;
  // Through the stream, after what it holds already.
  fwrite(bytes, 1, size, stream);
  fflush(stream);
  lineStream = stream;
  shownCells = shown;
  return true;
}

void endConsoleLine() {
  if (ended) return;
  ended = true;
  if (shownCells == 0) return;
  fputc('\r', lineStream);
  for (size_t i = 0; i < shownCells; ++i) fputc(' ', lineStream);
  fputc('\r', lineStream);
  fflush(lineStream);
  shownCells = 0;
}

}  // namespace tarvek
