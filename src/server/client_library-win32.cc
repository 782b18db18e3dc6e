#include <stdint.h>
#include <string.h>

#include "server/client_library.h"

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "server/library_search.h"
#include "server/rfax_api.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)client_library-win32.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

// Room for a folder or a file's path; the system's own limit is far below.
constexpr size_t kPathRoom = 1024;
// What a call of a function the library lacks returns (RFaxLoadUser3 only:
// the others must be there).
constexpr int32_t kMissingFunction = -1;

FARPROC bound[kLibraryFunctionCount];

#if defined(__i386__)
// Calls `function` with `count` 32-bit words as its arguments, copied to a
// 16-byte aligned area, and afterwards puts the stack pointer back where it
// was: a stdcall function pops its arguments, a cdecl one leaves them, and
// either way the caller's frame is whole again. Both conventions keep esi,
// edi, ebx and ebp and return in eax.
__attribute__((naked)) uint32_t callGate(FARPROC /*function*/,
                                         const uint32_t* /*words*/,
                                         uint32_t /*count*/) {
  asm(R"(
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 16(%ebp), %ecx
    leal 0(,%ecx,4), %eax
    subl %eax, %esp
    andl $-16, %esp
    movl 12(%ebp), %esi
    movl %esp, %edi
    cld
    rep movsl
    call *8(%ebp)
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
  )");
}

template <typename T>
uint32_t word(T* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}
uint32_t word(int32_t value) { return static_cast<uint32_t>(value); }
uint32_t word(uint32_t value) { return value; }
#endif

}  // namespace

// Calls bound function `index` with `arguments`: through the gate on 32-bit
// Windows, a plain call on 64-bit Windows (one convention there).
template <typename R, typename... A>
R callLibrary(LibraryFunctionIndex index, A... arguments) {
  FARPROC function = bound[index];
  if (!function) return static_cast<R>(kMissingFunction);
#if defined(__i386__)
  const uint32_t words[] = {word(arguments)..., 0};
  return static_cast<R>(
      callGate(function, words, static_cast<uint32_t>(sizeof...(A))));
#else
  R (*typed)(A...);
  static_assert(sizeof typed == sizeof function, "function pointer size");
  memcpy(&typed, &function, sizeof typed);
  return typed(arguments...);
#endif
}

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// FOLDER\RFWIN32.dll into `file`; false when it doesn't fit.
bool libraryFile(const char* folder, char* file, size_t room) {
  size_t length = strlen(folder);
  const char* separator =
      length > 0 && isSeparator(folder[length - 1]) ? "" : "\\";
  int written =
      snprintf(file, room, "%s%s%s", folder, separator, kClientLibraryFile);
  return written > 0 && static_cast<size_t>(written) < room;
}

bool isFile(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The system's text for `error`, without its line end; a "%1" in it (as in
// "%1 is not a valid Win32 application.") names the library's file.
void systemReason(DWORD error, char* text, size_t room) {
  char raw[512];
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, raw, static_cast<DWORD>(sizeof raw), nullptr);
  while (length > 0 && (raw[length - 1] == '\r' || raw[length - 1] == '\n' ||
                        raw[length - 1] == ' '))
    --length;
  raw[length] = '\0';
  if (length == 0) {
    snprintf(text, room, "system error %lu", static_cast<unsigned long>(error));
    return;
  }
  const char* insert = strstr(raw, "%1");
  if (insert) {
    snprintf(text, room, "%.*s%s%s", static_cast<int>(insert - raw), raw,
             kClientLibraryFile, insert + 2);
  } else {
    snprintf(text, room, "%s", raw);
  }
}

// The folders searched: the program's, the system folder, PATH.
struct SearchTexts {
  char programFolder[kPathRoom] = "";
  char systemFolder[kPathRoom] = "";
  char path[32768] = "";

  void read() {
    DWORD length = GetModuleFileNameA(nullptr, programFolder, kPathRoom);
    if (length == 0 || length >= kPathRoom) length = 0;
    while (length > 0 && !isSeparator(programFolder[length - 1])) --length;
    if (length > 1 && programFolder[length - 2] != ':') --length;
    programFolder[length] = '\0';
    length = GetSystemDirectoryA(systemFolder, kPathRoom);
    if (length >= kPathRoom) length = 0;
    systemFolder[length] = '\0';
    length = GetEnvironmentVariableA("PATH", path, sizeof path);
    if (length >= sizeof path) length = 0;
    path[length] = '\0';
  }

  LibrarySearch search() const {
    return LibrarySearch(programFolder, systemFolder, path);
  }
};

SearchTexts searchTexts;

// "*** RFWIN32.dll not found; looked in: A; B; C"
void reportNotFound(FILE* console) {
  fprintf(console, "*** %s not found; looked in: ", kClientLibraryFile);
  LibrarySearch search = searchTexts.search();
  char folder[kPathRoom];
  for (const char* separator = ""; search.next(folder, sizeof folder);
       separator = "; ")
    fprintf(console, "%s%s", separator, folder);
  fputs("\n", console);
}

}  // namespace

bool bindClientLibrary(FILE* console) {
  // No error box for the whole run: a DLL that can't be loaded, or a crash,
  // is a result, never a window that waits for a click.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
               SEM_NOOPENFILEERRORBOX);
  // Nor from the current folder when the DLL's own dependencies are looked
  // for: they come from its folder, the system's and PATH.
  SetDllDirectoryA("");
  searchTexts.read();

  // The first RFWIN32.dll that loads; a file of the wrong machine type is
  // passed over as the system's own search passes it over, any other
  // failure ends the search.
  LibrarySearch search = searchTexts.search();
  char folder[kPathRoom], file[kPathRoom], failedFile[kPathRoom] = "";
  DWORD failure = 0;
  HMODULE library = nullptr;
  while (search.next(folder, sizeof folder)) {
    if (!libraryFile(folder, file, sizeof file) || !isFile(file)) continue;
    library = LoadLibraryExA(file, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library) break;
    DWORD error = GetLastError();
    if (failedFile[0] == '\0') {
      memcpy(failedFile, file, sizeof failedFile);
      failure = error;
    }
    if (error != ERROR_BAD_EXE_FORMAT) break;
  }
  if (!library) {
    if (failedFile[0] != '\0') {
      char reason[512];
      systemReason(failure, reason, sizeof reason);
      fprintf(console, "*** Can't load %s: %s\n", failedFile, reason);
    } else {
      reportNotFound(console);
    }
    fflush(console);
    return false;
  }

  for (int i = 0; i < kLibraryFunctionCount; ++i) {
    const LibraryFunction& function = kLibraryFunctions[i];
    char name[128];
    for (int form = 0; form < kExportNameForms && !bound[i]; ++form) {
      if (exportName(function, form, name, sizeof name))
        bound[i] = GetProcAddress(library, name);
    }
    if (!bound[i] && function.required) {
      fprintf(console, "*** No function %s in %s\n", function.name, file);
      fflush(console);
      return false;
    }
  }
  return true;
}

}  // namespace tarvek

// The 13 functions as the program calls them, forwarded to the bound ones.
using tarvek::callLibrary;

extern "C" {

int32_t RFaxGetAPIVersion(void) {
  return callLibrary<int32_t>(tarvek::kGetAPIVersion);
}
RFaxHandle RFaxCreateServerHandle(const char* server, int32_t mode,
                                  int32_t* error) {
  return callLibrary<RFaxHandle>(tarvek::kCreateServerHandle, server, mode,
                                 error);
}
RFaxResult RFaxVersionCheck(RFaxHandle server, int32_t release,
                            int32_t reserved) {
  return callLibrary<RFaxResult>(tarvek::kVersionCheck, server, release,
                                 reserved);
}
RFaxResult RFaxGetServerInfo2(RFaxHandle server, unsigned char* record) {
  return callLibrary<RFaxResult>(tarvek::kGetServerInfo2, server, record);
}
RFaxResult RFaxStringRFaxErr(RFaxResult code, char* buffer, int32_t size) {
  return callLibrary<RFaxResult>(tarvek::kStringRFaxErr, code, buffer, size);
}
RFaxResult RFaxCloseServerHandle(RFaxHandle server) {
  return callLibrary<RFaxResult>(tarvek::kCloseServerHandle, server);
}
RFaxResult RFaxGetUserList(RFaxHandle server, int32_t kind, RFaxHandle* list) {
  return callLibrary<RFaxResult>(tarvek::kGetUserList, server, kind, list);
}
RFaxResult RFaxListSort(RFaxHandle list, RFaxCompareFn compare) {
  return callLibrary<RFaxResult>(tarvek::kListSort, list, compare);
}
RFaxResult RFaxListGetFirstElementPtr(RFaxHandle list,
                                      unsigned char** element) {
  return callLibrary<RFaxResult>(tarvek::kListGetFirstElementPtr, list,
                                 element);
}
RFaxResult RFaxListGetNextElementPtr(RFaxHandle list, unsigned char** element) {
  return callLibrary<RFaxResult>(tarvek::kListGetNextElementPtr, list, element);
}
RFaxResult RFaxCloseListHandle(RFaxHandle list) {
  return callLibrary<RFaxResult>(tarvek::kCloseListHandle, list);
}
RFaxResult RFaxLoadUser(RFaxHandle server, int32_t kind, const char* userId,
                        char* area1, char* area2, unsigned char* record) {
  return callLibrary<RFaxResult>(tarvek::kLoadUser, server, kind, userId, area1,
                                 area2, record);
}
RFaxResult RFaxLoadUser3(RFaxHandle server, int32_t kind, int32_t flags,
                         const char* userId, int32_t reserved1,
                         int32_t reserved2, int32_t reserved3,
                         int32_t reserved4, int32_t level,
                         unsigned char* record) {
  return callLibrary<RFaxResult>(tarvek::kLoadUser3, server, kind, flags,
                                 userId, reserved1, reserved2, reserved3,
                                 reserved4, level, record);
}

}  // extern "C"
