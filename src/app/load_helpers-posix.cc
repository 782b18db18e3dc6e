#include "app/load_helpers.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <new>

#include "util/console.h"
#include "util/ident.h"
#include "util/system_sleep.h"

TARVEK_IDENT("@(#)load_helpers-posix.cc 1.1 2026/12/10")

extern char** environ;

namespace tarvek {
namespace {

// The variable that names a helper's link, and the descriptor it has.
constexpr char kLinkVariable[] = "TARVEK_LOAD_HELPER";
constexpr char kLinkAssignment[] = "TARVEK_LOAD_HELPER=3";
constexpr int kLinkFd = 3;

// The helpers running, for the last moment of a run that an interruption
// ends (they end with it anyway: the parent-death signal, their links'
// end); 0 for none.
volatile sig_atomic_t running[kMostHelpers];

void killRunning() {
  for (int i = 0; i < kMostHelpers; ++i) {
    if (running[i] > 0) kill(static_cast<pid_t>(running[i]), SIGKILL);
  }
}

// Reaps helper `i` (`pid`), waiting or not; true once it is reaped. No
// signal comes between the reaping and its entry's clearing, so that the
// interruption never kills another process that took the number.
bool reap(int i, pid_t pid, int options) {
  sigset_t all, before;
  sigfillset(&all);
  sigprocmask(SIG_SETMASK, &all, &before);
  bool reaped = waitpid(pid, nullptr, options) == pid;
  if (reaped) running[i] = 0;
  sigprocmask(SIG_SETMASK, &before, nullptr);
  return reaped;
}

bool sendAll(int fd, const unsigned char* bytes, size_t size, int flags = 0) {
  while (size > 0) {
    ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL | flags);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

class PosixHelpers : public LoadHelpers {
 public:
  ~PosixHelpers() override {
    endAll();
    delete[] environment_;
  }

  int start(const unsigned char* greeting, size_t size) override {
    if (count_ == kMostHelpers) return -1;
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
      return -1;
    // The greeting waits in the link before the helper runs (and must fit
    // in it: nothing would read it while this process waits).
    if (!sendAll(ends[0], greeting, size, MSG_DONTWAIT) || !makeEnvironment()) {
      close(ends[0]);
      close(ends[1]);
      return -1;
    }
    pid_t parent = getpid();
    // No handler of this process runs in the child: signals wait until it
    // has put back the default actions.
    sigset_t all, before;
    sigfillset(&all);
    sigprocmask(SIG_SETMASK, &all, &before);
    pid_t pid = fork();
    if (pid == 0) becomeHelper(parent, ends[1], &before);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    close(ends[1]);
    if (pid < 0) {
      close(ends[0]);
      return -1;
    }
    fd_[count_] = ends[0];
    pid_[count_] = pid;
    running[count_] = pid;
    setInterruptionWork(killRunning);
    return count_++;
  }

  bool send(int helper, const unsigned char* bytes, size_t size) override {
    return fd_[helper] >= 0 && sendAll(fd_[helper], bytes, size);
  }

  long receive(int helper, unsigned char* bytes, size_t room) override {
    if (fd_[helper] < 0) return -1;
    for (;;) {
      ssize_t got = recv(fd_[helper], bytes, room, MSG_DONTWAIT);
      if (got > 0) return static_cast<long>(got);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
      return -1;
    }
  }

  void wait(const int* helpers, size_t count) override {
    pollfd polled[kMostHelpers];
    for (size_t i = 0; i < count; ++i) {
      polled[i].fd = fd_[helpers[i]];
      polled[i].events = POLLIN;
      polled[i].revents = 0;
    }
    while (poll(polled, static_cast<nfds_t>(count), -1) < 0 && errno == EINTR) {
    }
  }

  void end(int helper) override {
    if (fd_[helper] < 0) return;
    close(fd_[helper]);
    fd_[helper] = -1;
    // One that is gone already (killed, or its connection failed) is
    // reaped now; the others at endAll.
    if (pid_[helper] > 0 && reap(helper, pid_[helper], WNOHANG))
      pid_[helper] = 0;
  }

  void endAll() override {
    for (int i = 0; i < count_; ++i) end(i);
    // Each ends at its link's end, after closing its connection.
    int waited = 0;
    for (int i = 0; i < count_; ++i) {
      while (pid_[i] > 0 && !reap(i, pid_[i], WNOHANG)) {
        if (waited >= kHelpersEndingWait) {
          kill(pid_[i], SIGKILL);
          reap(i, pid_[i], 0);
          break;
        }
        sleepMilliseconds(1);
        ++waited;
      }
      pid_[i] = 0;
    }
    count_ = 0;
  }

 private:
  // The environment of a helper: this one's, without the link variable,
  // with it naming the link. And the program's path, so that the helper is
  // named as it is (and a tool that runs this one, such as valgrind, runs
  // the helper too); /proc/self/exe when it can't be read.
  bool makeEnvironment() {
    if (environment_ != nullptr) return true;
    ssize_t length = readlink("/proc/self/exe", path_, sizeof path_ - 1);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path_ - 1)
      length = 0;
    path_[length] = '\0';
    size_t count = 0;
    while (environ[count] != nullptr) ++count;
    environment_ = new (std::nothrow) char*[count + 2];
    if (environment_ == nullptr) return false;
    size_t kept = 0;
    size_t nameLength = sizeof kLinkVariable - 1;
    for (size_t i = 0; i < count; ++i) {
      if (strncmp(environ[i], kLinkVariable, nameLength) == 0 &&
          environ[i][nameLength] == '=')
        continue;
      environment_[kept++] = environ[i];
    }
    environment_[kept++] = const_cast<char*>(kLinkAssignment);
    environment_[kept] = nullptr;
    return true;
  }

  // In the child: the link on descriptor 3, the null device on the
  // standard ones, nothing else open; killed when the parent ends.
  [[noreturn]] void becomeHelper(pid_t parent, int link, const sigset_t* mask) {
    for (int number = 1; number < NSIG; ++number) {
      struct sigaction old {};
      if (sigaction(number, nullptr, &old) == 0 && old.sa_handler != SIG_IGN &&
          old.sa_handler != SIG_DFL)
        signal(number, SIG_DFL);
    }
    sigprocmask(SIG_SETMASK, mask, nullptr);
#if defined(__linux__)
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    if (getppid() != parent) _exit(0);
    if (link == kLinkFd) {
      fcntl(link, F_SETFD, 0);
    } else if (dup2(link, kLinkFd) != kLinkFd) {
      _exit(0);
    }
    int null = open("/dev/null", O_RDWR);
    if (null < 0) _exit(0);
    for (int fd = 0; fd <= 2; ++fd) dup2(null, fd);
    long most = sysconf(_SC_OPEN_MAX);
    if (most < 0 || most > 65536) most = 65536;
    for (int fd = kLinkFd + 1; fd < most; ++fd) close(fd);
    char name[] = "tarvek";
    char* arguments[] = {name, nullptr};
    if (path_[0] != '\0') execve(path_, arguments, environment_);
    execve("/proc/self/exe", arguments, environment_);
    _exit(0);
  }

  int count_ = 0;
  int fd_[kMostHelpers];
  pid_t pid_[kMostHelpers];
  char** environment_ = nullptr;
  char path_[4096];

 public:
  PosixHelpers() = default;
  PosixHelpers(const PosixHelpers&) = delete;
  PosixHelpers& operator=(const PosixHelpers&) = delete;
};

class PosixParentLink : public ParentLink {
 public:
  size_t read(unsigned char* bytes, size_t room) override {
    for (;;) {
      ssize_t got = recv(kLinkFd, bytes, room, 0);
      if (got > 0) return static_cast<size_t>(got);
      if (got < 0 && errno == EINTR) continue;
      return 0;
    }
  }
  bool write(const unsigned char* bytes, size_t size) override {
    return sendAll(kLinkFd, bytes, size);
  }
};

}  // namespace

LoadHelpers* makeLoadHelpers() { return new (std::nothrow) PosixHelpers; }

ParentLink* takeParentLink(const unsigned char* greeting, size_t size) {
  const char* value = getenv(kLinkVariable);
  if (value == nullptr) return nullptr;
  bool named = strcmp(value, "3") == 0;
  unsetenv(kLinkVariable);
  struct stat status {};
  if (!named || fstat(kLinkFd, &status) != 0 || !S_ISSOCK(status.st_mode))
    return nullptr;
  // The greeting was written before this process started: it is there
  // now, or this is no helper.
  unsigned char seen[16];
  if (size > sizeof seen) return nullptr;
  ssize_t got = recv(kLinkFd, seen, size, MSG_DONTWAIT | MSG_PEEK);
  if (got != static_cast<ssize_t>(size) || memcmp(seen, greeting, size) != 0)
    return nullptr;
  if (recv(kLinkFd, seen, size, MSG_DONTWAIT) != static_cast<ssize_t>(size))
    return nullptr;

  return new (std::nothrow) PosixParentLink;
}

}  // namespace tarvek
