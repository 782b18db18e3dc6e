#include "app/standard_streams.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "util/ident.h"

TARVEK_IDENT("@(#)standard_streams-posix.cc 1.3 2026/12/09")

namespace tarvek {

void prepareStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    int held = open("/dev/null", O_RDONLY);
    if (held != -1 && held != fd) {
      dup2(held, fd);
      close(held);
    }
  }
}

}  // namespace tarvek
