#include "app/load_helpers.h"

#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <new>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)load_helpers-win32.cc 1.1 2026/12/10")

namespace tarvek {
namespace {

// The variable that names a helper's link: the inherited handle's value.
constexpr wchar_t kLinkVariable[] = L"TARVEK_LOAD_HELPER";
constexpr DWORD kPipeBuffer = 65536;
constexpr size_t kReadRoom = 8192;
constexpr DWORD kPathRoom = 32768;

// The helpers running, for the last moment of a run that Ctrl+C or a
// crash ends (the job ends them anyway as the process ends).
HANDLE volatile running[kMostHelpers];

void endRunning() {
  for (int i = 0; i < kMostHelpers; ++i) {
    if (HANDLE process = running[i]) TerminateProcess(process, 1);
  }
}

// Waits for an overlapped operation on `handle`; its byte count, or
// false when it failed.
bool finish(HANDLE handle, OVERLAPPED* overlapped, BOOL started, DWORD* bytes) {
  if (!started && GetLastError() != ERROR_IO_PENDING) return false;
  return GetOverlappedResult(handle, overlapped, bytes, TRUE) != 0;
}

struct Helper {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  HANDLE process = nullptr;
  OVERLAPPED reading{};
  bool pending = false;
  bool broken = false;
  unsigned char buffer[kReadRoom];
  size_t first = 0;
  size_t last = 0;
};

class WindowsHelpers : public LoadHelpers {
 public:
  WindowsHelpers() = default;
  WindowsHelpers(const WindowsHelpers&) = delete;
  WindowsHelpers& operator=(const WindowsHelpers&) = delete;
  ~WindowsHelpers() override {
    endAll();
    if (writing_.hEvent != nullptr) CloseHandle(writing_.hEvent);
  }

  int start(const unsigned char* greeting, size_t size) override {
    if (count_ == kMostHelpers || !prepare()) return -1;
    Helper& helper = helper_[count_];
    wchar_t name[96];
    swprintf(name, sizeof name / sizeof name[0],
             L"\\\\.\\pipe\\tarvek-%lu-%d-%lu",
             static_cast<unsigned long>(GetCurrentProcessId()), count_,
             static_cast<unsigned long>(GetTickCount()));
    HANDLE pipe =
        CreateNamedPipeW(name,
                         PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                             FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1,
                         kPipeBuffer, kPipeBuffer, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return -1;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE link = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, &inherited,
                              OPEN_EXISTING, 0, nullptr);
    HANDLE null = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                              OPEN_EXISTING, 0, nullptr);
    HANDLE process = nullptr;
    helper.pipe = pipe;
    if (link != INVALID_HANDLE_VALUE) {
      // The link is open at both ends already; this only makes it so for
      // the pipe's side.
      DWORD done = 0;
      ResetEvent(writing_.hEvent);
      BOOL connected = ConnectNamedPipe(pipe, &writing_);
      if (!connected && GetLastError() == ERROR_IO_PENDING)
        GetOverlappedResult(pipe, &writing_, &done, TRUE);
    }
    // The greeting waits in the link before the helper runs.
    if (link != INVALID_HANDLE_VALUE && null != INVALID_HANDLE_VALUE &&
        send(count_, greeting, size))
      process = launch(link, null);
    if (link != INVALID_HANDLE_VALUE) CloseHandle(link);
    if (null != INVALID_HANDLE_VALUE) CloseHandle(null);
    if (process == nullptr) {
      CloseHandle(pipe);
      helper.pipe = INVALID_HANDLE_VALUE;
      return -1;
    }
    helper.process = process;
    running[count_] = process;
    setInterruptionWork(endRunning);
    helper.reading = OVERLAPPED{};
    helper.reading.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    helper.pending = false;
    helper.broken = helper.reading.hEvent == nullptr;
    helper.first = helper.last = 0;
    return count_++;
  }

  bool send(int number, const unsigned char* bytes, size_t size) override {
    Helper& helper = helper_[number];
    if (helper.pipe == INVALID_HANDLE_VALUE) return false;
    while (size > 0) {
      DWORD done = 0;
      ResetEvent(writing_.hEvent);
      BOOL started = WriteFile(helper.pipe, bytes, static_cast<DWORD>(size),
                               nullptr, &writing_);
      if (!finish(helper.pipe, &writing_, started, &done) || done == 0)
        return false;
      bytes += done;
      size -= done;
    }
    return true;
  }

  long receive(int number, unsigned char* bytes, size_t room) override {
    Helper& helper = helper_[number];
    if (helper.pipe == INVALID_HANDLE_VALUE) return -1;
    if (helper.first == helper.last) {
      if (!helper.pending && !read(&helper)) return -1;
      DWORD got = 0;
      if (!GetOverlappedResult(helper.pipe, &helper.reading, &got, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) return 0;
        helper.pending = false;
        return -1;
      }
      helper.pending = false;
      if (got == 0) return -1;
      helper.first = 0;
      helper.last = got;
    }
    size_t size = helper.last - helper.first;
    if (size > room) size = room;
    memcpy(bytes, helper.buffer + helper.first, size);
    helper.first += size;
    return static_cast<long>(size);
  }

  void wait(const int* numbers, size_t count) override {
    HANDLE events[kMostHelpers];
    DWORD waited = 0;
    for (size_t i = 0; i < count; ++i) {
      Helper& helper = helper_[numbers[i]];
      if (helper.pipe == INVALID_HANDLE_VALUE || helper.first < helper.last)
        return;
      if (!helper.pending && !read(&helper)) return;
      events[waited++] = helper.reading.hEvent;
    }
    if (waited > 0) WaitForMultipleObjects(waited, events, FALSE, INFINITE);
  }

  void end(int number) override {
    Helper& helper = helper_[number];
    if (helper.pipe == INVALID_HANDLE_VALUE) return;
    if (helper.pending) {
      CancelIo(helper.pipe);
      DWORD got = 0;
      GetOverlappedResult(helper.pipe, &helper.reading, &got, TRUE);
      helper.pending = false;
    }
    CloseHandle(helper.pipe);
    helper.pipe = INVALID_HANDLE_VALUE;
    if (helper.reading.hEvent != nullptr) CloseHandle(helper.reading.hEvent);
    helper.reading.hEvent = nullptr;
  }

  void endAll() override {
    HANDLE processes[kMostHelpers];
    DWORD count = 0;
    for (int i = 0; i < count_; ++i) {
      end(i);
      if (helper_[i].process != nullptr)
        processes[count++] = helper_[i].process;
    }
    // Each ends at its link's end, after closing its connection.
    if (count > 0 &&
        WaitForMultipleObjects(count, processes, TRUE,
                               static_cast<DWORD>(kHelpersEndingWait)) ==
            WAIT_TIMEOUT) {
      for (DWORD i = 0; i < count; ++i) TerminateProcess(processes[i], 1);
    }
    for (int i = 0; i < count_; ++i) {
      running[i] = nullptr;
      if (helper_[i].process != nullptr) CloseHandle(helper_[i].process);
      helper_[i].process = nullptr;
    }
    count_ = 0;
  }

 private:
  // Once: the job that ends every helper with this process, the program's
  // path, the event of writes.
  bool prepare() {
    if (job_ != nullptr) return true;
    if (GetModuleFileNameW(nullptr, path_, kPathRoom) >= kPathRoom - 1)
      return false;
    writing_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (writing_.hEvent == nullptr) return false;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation,
                                 &limits, sizeof limits)) {
      CloseHandle(job);
      return false;
    }
    // Kept open for the process's life: closing it ends the helpers.
    job_ = job;
    return true;
  }

  // Starts the program again, suspended until it is in the job, with the
  // link in its environment and the null device as its standard handles;
  // it has no console, so a console's Ctrl+C reaches only this process.
  HANDLE launch(HANDLE link, HANDLE null) {
    wchar_t value[24];
    swprintf(value, sizeof value / sizeof value[0], L"%lu",
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(link)));
    if (!SetEnvironmentVariableW(kLinkVariable, value)) return nullptr;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup.StartupInfo;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = null;
    startup.StartupInfo.hStdOutput = null;
    startup.StartupInfo.hStdError = null;
    // The helper inherits the link and the null device alone (not the
    // report file, nor a pipe that standard output goes to), where the
    // system takes the list.
    HANDLE inherited[] = {link, null};
    alignas(8) unsigned char room[256];
    auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(room);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    bool listed = size > 0 && size <= sizeof room &&
                  InitializeProcThreadAttributeList(list, 1, 0, &size);
    if (listed && UpdateProcThreadAttribute(
                      list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                      sizeof inherited, nullptr, nullptr)) {
      startup.StartupInfo.cb = sizeof startup;
      startup.lpAttributeList = list;
    }
    wchar_t command[] = L"tarvek";
    PROCESS_INFORMATION started{};
    DWORD flags = CREATE_SUSPENDED | DETACHED_PROCESS;
    BOOL created = CreateProcessW(
        path_, command, nullptr, nullptr, TRUE,
        flags | (startup.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0),
        nullptr, nullptr, &startup.StartupInfo, &started);
    if (!created && startup.lpAttributeList != nullptr) {
      startup.StartupInfo.cb = sizeof startup.StartupInfo;
      created =
          CreateProcessW(path_, command, nullptr, nullptr, TRUE, flags, nullptr,
                         nullptr, &startup.StartupInfo, &started);
    }
    if (listed) DeleteProcThreadAttributeList(list);
    SetEnvironmentVariableW(kLinkVariable, nullptr);
    if (!created) return nullptr;
    if (!AssignProcessToJobObject(job_, started.hProcess)) {
      TerminateProcess(started.hProcess, 1);
      CloseHandle(started.hThread);
      CloseHandle(started.hProcess);
      return nullptr;
    }
    ResumeThread(started.hThread);
    CloseHandle(started.hThread);
    return started.hProcess;
  }

  // Starts the next read of a helper's answers; false when the link is
  // broken.
  bool read(Helper* helper) {
    if (helper->broken) return false;
    ResetEvent(helper->reading.hEvent);
    if (!ReadFile(helper->pipe, helper->buffer, kReadRoom, nullptr,
                  &helper->reading) &&
        GetLastError() != ERROR_IO_PENDING) {
      helper->broken = true;
      return false;
    }
    helper->pending = true;
    return true;
  }

  int count_ = 0;
  Helper helper_[kMostHelpers];
  HANDLE job_ = nullptr;
  OVERLAPPED writing_{};
  wchar_t path_[kPathRoom];
};

class WindowsParentLink : public ParentLink {
 public:
  explicit WindowsParentLink(HANDLE link) : link_(link) {}
  size_t read(unsigned char* bytes, size_t room) override {
    DWORD got = 0;
    if (!ReadFile(link_, bytes, static_cast<DWORD>(room), &got, nullptr))
      return 0;
    return got;
  }
  bool write(const unsigned char* bytes, size_t size) override {
    while (size > 0) {
      DWORD done = 0;
      if (!WriteFile(link_, bytes, static_cast<DWORD>(size), &done, nullptr) ||
          done == 0)
        return false;
      bytes += done;
      size -= done;
    }
    return true;
  }

 private:
  HANDLE link_;
};

}  // namespace

LoadHelpers* makeLoadHelpers() { return new (std::nothrow) WindowsHelpers; }

ParentLink* takeParentLink(const unsigned char* greeting, size_t size) {
  wchar_t value[24];
  DWORD length = GetEnvironmentVariableW(kLinkVariable, value, 24);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return nullptr;
  SetEnvironmentVariableW(kLinkVariable, nullptr);
  if (length == 0 || length >= 24) return nullptr;
  uintptr_t number = 0;
  for (DWORD i = 0; i < length; ++i) {
    if (value[i] < L'0' || value[i] > L'9' || number > UINT32_MAX / 10)
      return nullptr;
    number = number * 10 + static_cast<uintptr_t>(value[i] - L'0');
  }
  HANDLE link = reinterpret_cast<HANDLE>(number);
  if (GetFileType(link) != FILE_TYPE_PIPE) return nullptr;
  // The greeting was written before this process started: it is there
  // now, or this is no helper. Looked at first, taken only when it is.
  unsigned char seen[16];
  DWORD got = 0;
  if (size > sizeof seen ||
      !PeekNamedPipe(link, seen, static_cast<DWORD>(size), &got, nullptr,
                     nullptr) ||
      got != size || memcmp(seen, greeting, size) != 0)
    return nullptr;
  if (!ReadFile(link, seen, static_cast<DWORD>(size), &got, nullptr) ||
      got != size)
    return nullptr;
  return new (std::nothrow) WindowsParentLink(link);
}

}  // namespace tarvek
