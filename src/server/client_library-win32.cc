#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "server/client_library.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "server/library_search.h"
#include "server/rfax_api.h"
#include "util/console_line.h"
#include "util/ident.h"
#include "util/text_output.h"

TARVEK_IDENT("@(#)client_library-win32.cc 1.3 2026/12/09")

namespace tarvek {
namespace {

// Room for a folder or a file's path, in UTF-16 units: the longest path
// Windows takes.
constexpr size_t kPathRoom = 32768;
// What a call of a function the library lacks returns (RFaxLoadUser3 only:
// the others must be there).
constexpr int32_t kMissingFunction = -1;
// No call into the library is running.
constexpr LONG kNoCall = -1;

FARPROC bound[kLibraryFunctionCount];
// Where the lines of a failure go (standard output).
FILE* console;
// The library function running now, or kNoCall. While the library sorts,
// that stays RFaxListSort inside tarvek's comparator too: what the library
// hands it is the library's, and a broken stack hands it garbage.
volatile LONG activeCall = kNoCall;
// tarvek's comparator during a sort.
RFaxCompareFn sortCompare;

#if defined(__i386__)
// How the library's functions treat their arguments, once a call with
// arguments has told; what TARVEK_SORT_CALLBACK asks for; and the
// convention the comparator was handed in.
CallbackConvention libraryConvention = CallbackConvention::kUnknown;
CallbackConvention variableConvention = CallbackConvention::kUnknown;
CallbackConvention sortConvention = CallbackConvention::kCdecl;

// Calls `function` with `count` 32-bit words as its arguments, copied to a
// 16-byte aligned area, and afterwards puts the stack pointer back where it
// was: a stdcall function pops its arguments, a cdecl one leaves them, and
// either way the caller's frame is whole again. `*bytesLeft` gets how many
// argument bytes the function left on the stack (0 when it popped them).
// Both conventions keep esi, edi, ebx and ebp and return in eax.
__attribute__((naked)) uint32_t callGate(FARPROC /*function*/,
                                         const uint32_t* /*words*/,
                                         uint32_t /*count*/,
                                         uint32_t* /*bytesLeft*/) {
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
    movl %edi, %ecx
    subl %esp, %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
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
// Windows, a plain call on 64-bit Windows (one convention there). The first
// call with arguments tells the library's convention.
template <typename R, typename... A>
R callLibrary(LibraryFunctionIndex index, A... arguments) {
  FARPROC function = bound[index];
  if (!function) return static_cast<R>(kMissingFunction);
  activeCall = index;
#if defined(__i386__)
  const uint32_t words[] = {word(arguments)..., 0};
  uint32_t bytesLeft = 0;
  R result = static_cast<R>(callGate(
      function, words, static_cast<uint32_t>(sizeof...(A)), &bytesLeft));
  if (libraryConvention == CallbackConvention::kUnknown)
    libraryConvention = conventionFromStack(4 * sizeof...(A), bytesLeft);
#else
  R (*typed)(A...);
  static_assert(sizeof typed == sizeof function, "function pointer size");
  memcpy(&typed, &function, sizeof typed);
  R result = typed(arguments...);
#endif
  activeCall = kNoCall;
  return result;
}

namespace {

// The comparator as the library calls it, around tarvek's own comparison.
int __cdecl cdeclComparator(const void* a, const void* b) {
  return sortCompare(a, b);
}
#if defined(__i386__)
int __stdcall stdcallComparator(const void* a, const void* b) {
  return cdeclComparator(a, b);
}
#endif

}  // namespace

// RFaxListSort with tarvek's comparator, handed to the library in the
// convention it calls it in.
RFaxResult sortList(RFaxHandle list, RFaxCompareFn compare) {
  sortCompare = compare;
#if defined(__i386__)
  sortConvention = comparatorConvention(variableConvention, libraryConvention);
  if (sortConvention == CallbackConvention::kStdcall)
    return callLibrary<RFaxResult>(kListSort, list, stdcallComparator);
#endif
  return callLibrary<RFaxResult>(kListSort, list, cdeclComparator);
}

namespace {

// The last line of a run that a fault in the library ended, and the
// exception's code as the exit code (as Windows ends a crashed program).
// A fault while no library call runs is tarvek's own: the system's way.
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;
LONG WINAPI libraryFault(EXCEPTION_POINTERS* exception) {
  LONG call = activeCall;
  if (call < 0 || call >= kLibraryFunctionCount)
    return previousFilter ? previousFilter(exception)
                          : EXCEPTION_CONTINUE_SEARCH;
  DWORD code = exception->ExceptionRecord->ExceptionCode;
  endConsoleLine();
  printText(console, "*** %s failed in %s: exception 0x%08lX\n",
            kClientLibraryFile, kLibraryFunctions[call].name,
            static_cast<unsigned long>(code));
#if defined(__i386__)
  if (call == kListSort) {
    const char* other = conventionName(otherConvention(sortConvention));
    printText(console,
              "*** If %s calls the sort comparator as %s, set %s=%s and run "
              "tarvek again\n",
              kClientLibraryFile, other, kSortCallbackVariable, other);
  }
#endif
  fflush(nullptr);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

// An ASCII text of tarvek's own, terminated, into `wide`.
void widen(const char* text, wchar_t* wide) {
  do *wide++ = static_cast<wchar_t>(*text);
  while (*text++ != '\0');
}

// FOLDER\RFWIN32.dll into `file`; false when it doesn't fit.
bool libraryFile(const wchar_t* folder, wchar_t* file, size_t room) {
  size_t length = wcslen(folder);
  size_t name = sizeof kClientLibraryFile - 1;
  bool separator = length > 0 && folder[length - 1] != L'\\';
  if (length + separator + name >= room) return false;
  wmemcpy(file, folder, length);
  if (separator) file[length++] = L'\\';
  widen(kClientLibraryFile, file + length);
  return true;
}

bool isFile(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The system's text for `error` (systemReasonText).
void systemReason(DWORD error, char* text, size_t room) {
  char raw[512];
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, raw, static_cast<DWORD>(sizeof raw), nullptr);
  raw[length < sizeof raw ? length : 0] = '\0';
  systemReasonText(raw, error, text, room);
}

// True when `file` is a program image for another machine than this
// program's, which the system's own search passes over too. Any other file
// that won't load is damaged, or not a DLL at all.
bool isOtherMachineFile(const wchar_t* file) {
#if defined(__i386__)
  constexpr uint16_t kOwnMachine = kMachineI386;
#else
  constexpr uint16_t kOwnMachine = kMachineAmd64;
#endif
  HANDLE handle = CreateFileW(file, GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE |
                                  FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  unsigned char head[64], header[6];
  DWORD got = 0;
  bool other = false;
  if (ReadFile(handle, head, sizeof head, &got, nullptr)) {
    LARGE_INTEGER offset;
    offset.QuadPart = peHeaderOffset(head, got);
    other = offset.QuadPart != 0 &&
            SetFilePointerEx(handle, offset, nullptr, FILE_BEGIN) &&
            ReadFile(handle, header, sizeof header, &got, nullptr) &&
            isOtherMachineImage(header, got, kOwnMachine);
  }
  CloseHandle(handle);
  return other;
}

// The folders searched: the program's, the system folder, PATH (of any
// length; empty when there is no memory for it).
struct SearchTexts {
  wchar_t programFolder[kPathRoom] = L"";
  wchar_t systemFolder[kPathRoom] = L"";
  wchar_t* path = nullptr;

  void read() {
    DWORD length = GetModuleFileNameW(nullptr, programFolder, kPathRoom);
    if (length == 0 || length >= kPathRoom) length = 0;
    while (length > 0 && programFolder[length - 1] != L'\\' &&
           programFolder[length - 1] != L'/')
      --length;
    if (length > 1 && programFolder[length - 2] != L':') --length;
    programFolder[length] = L'\0';
    length = GetSystemDirectoryW(systemFolder, kPathRoom);
    if (length >= kPathRoom) length = 0;
    systemFolder[length] = L'\0';
    // The size asked for, then the text; again if it grew in between.
    for (DWORD room = GetEnvironmentVariableW(L"PATH", nullptr, 0); room > 0;) {
      free(path);
      path = static_cast<wchar_t*>(malloc(room * sizeof(wchar_t)));
      if (path == nullptr) break;
      length = GetEnvironmentVariableW(L"PATH", path, room);
      if (length < room) return;
      room = length;
    }
    free(path);
    path = nullptr;
  }

  LibrarySearch<wchar_t> search() const {
    return LibrarySearch<wchar_t>(programFolder, systemFolder, path);
  }

  // The loader searches PATH for the library's dependencies: its relative
  // and empty entries (the current folder among them) are taken out of the
  // process's PATH for good, its absolute ones stay.
  void keepAbsolutePath() const {
    if (path == nullptr) return;
    wchar_t* absolute =
        static_cast<wchar_t*>(malloc((wcslen(path) + 1) * sizeof(wchar_t)));
    if (absolute == nullptr) return;
    absolutePathEntries(path, absolute);
    size_t length = wcslen(absolute);
    // The system takes a variable of at most kPathRoom - 1 characters: then
    // the leading entries that fit, never the relative ones.
    while (wcscmp(absolute, path) != 0 &&
           !SetEnvironmentVariableW(L"PATH", absolute) && length > 0) {
      if (length > kPathRoom - 1) length = kPathRoom - 1;
      do --length;
      while (length > 0 && absolute[length] != L';');
      absolute[length] = L'\0';
    }
    free(absolute);
  }
};

SearchTexts searchTexts;
// Folders and files of the search (too large for the stack).
wchar_t searchFolder[kPathRoom], searchFile[kPathRoom];

// "*** RFWIN32.dll not found; looked in: A; B; C"
void reportNotFound() {
  printText(console, "*** %s not found; looked in: ", kClientLibraryFile);
  LibrarySearch<wchar_t> search = searchTexts.search();
  for (const char* separator = ""; search.next(searchFolder, kPathRoom);
       separator = "; ") {
    writeText(console, separator);
    writeWideText(console, searchFolder);
  }
  writeText(console, "\n");
}

// "*** Can't load FILE: REASON", "; not a usable DLL (damaged, or not a
// DLL)" when it is no image for another machine either, and "; passed over:
// A (not a 32-bit DLL), ..." for the files found before it: each of those
// was passed over, since any other failure ends the search.
void reportLoadFailure(const wchar_t* file, DWORD error, bool damaged,
                       int ordinal) {
  char reason[512];
  systemReason(error, reason, sizeof reason);
  writeText(console, "*** Can't load ");
  writeWideText(console, file);
  printText(console, ": %s", reason);
  if (damaged) writeText(console, "; not a usable DLL (damaged, or not a DLL)");
  LibrarySearch<wchar_t> search = searchTexts.search();
  const char* separator = "; passed over: ";
  for (int i = 0; i < ordinal && search.next(searchFolder, kPathRoom); ++i) {
    if (!libraryFile(searchFolder, searchFile, kPathRoom) ||
        !isFile(searchFile))
      continue;
    writeText(console, separator);
    writeWideText(console, searchFile);
    printText(console, " (not a %d-bit DLL)",
              static_cast<int>(8 * sizeof(void*)));
    separator = ", ";
  }
  writeText(console, "\n");
}

// Reads TARVEK_SORT_CALLBACK (32-bit Windows only: elsewhere there is one
// convention); false, with the line that shows the value, for a value it
// doesn't take.
bool readSortCallbackVariable() {
#if defined(__i386__)
  static wchar_t value[kPathRoom];
  wchar_t name[sizeof kSortCallbackVariable];
  widen(kSortCallbackVariable, name);
  DWORD length = GetEnvironmentVariableW(name, value, kPathRoom);
  if (length >= kPathRoom) length = 0;
  value[length] = L'\0';
  // Its letters, when they are all plain ASCII and few; else a text that
  // names no convention.
  char letters[32] = "\x7f";
  if (length < sizeof letters) {
    size_t i = 0;
    while (i < length && value[i] > 0 && value[i] < 0x7F) {
      letters[i] = static_cast<char>(value[i]);
      ++i;
    }
    if (i == length) letters[i] = '\0';
  }
  if (parseCallbackConvention(letters, &variableConvention)) return true;
  printText(console, "*** %s must be cdecl or stdcall, not \"",
            kSortCallbackVariable);
  writeWideText(console, value);
  writeText(console, "\"\n");
  return false;
#else
  return true;
#endif
}

}  // namespace

bool bindClientLibrary(FILE* out) {
  console = out;
  // No error box for the whole run: a DLL that can't be loaded, or a crash,
  // is a result, never a window that waits for a click. A crash inside the
  // library is one line.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
               SEM_NOOPENFILEERRORBOX);
  previousFilter = SetUnhandledExceptionFilter(libraryFault);
  if (!readSortCallbackVariable()) {
    fflush(console);
    return false;
  }
  searchTexts.read();
  searchTexts.keepAbsolutePath();

  // The first RFWIN32.dll that loads; an image for another machine is
  // passed over as the system's own search passes it over, any other
  // failure ends the search.
  LibrarySearch<wchar_t> search = searchTexts.search();
  wchar_t* folder = searchFolder;
  wchar_t* file = searchFile;
  static wchar_t failedFile[kPathRoom];
  DWORD failure = 0;
  bool damaged = false;
  int ordinal = 0, failedOrdinal = -1;
  HMODULE library = nullptr;
  for (; search.next(folder, kPathRoom); ++ordinal) {
    if (!libraryFile(folder, file, kPathRoom) || !isFile(file)) continue;
    // The DLL's own dependencies come from its folder, never from the
    // current one (which the DLL directory takes out of the search).
    SetDllDirectoryW(folder);
    library = LoadLibraryExW(file, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (library) break;
    failure = GetLastError();
    failedOrdinal = ordinal;
    wmemcpy(failedFile, file, wcslen(file) + 1);
    damaged = failure == ERROR_BAD_EXE_FORMAT && !isOtherMachineFile(file);
    if (failure != ERROR_BAD_EXE_FORMAT || damaged) break;
  }
  if (!library) {
    if (failedOrdinal >= 0) {
      reportLoadFailure(failedFile, failure, damaged, failedOrdinal);
    } else {
      reportNotFound();
    }
    fflush(console);
    return false;
  }
  // A library that installs a filter of its own as it loads doesn't take
  // the line's place.
  SetUnhandledExceptionFilter(libraryFault);

  for (int i = 0; i < kLibraryFunctionCount; ++i) {
    const LibraryFunction& function = kLibraryFunctions[i];
    char name[128];
    for (int form = 0; form < kExportNameForms && !bound[i]; ++form) {
      if (exportName(function, form, name, sizeof name))
        bound[i] = GetProcAddress(library, name);
    }
    if (!bound[i] && function.required) {
      printText(console, "*** No function %s in ", function.name);
      writeWideText(console, file);
      writeText(console, "\n");
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
  return tarvek::sortList(list, compare);
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
