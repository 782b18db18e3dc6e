#include "binding/library_calls.h"

#include <stdint.h>
#include <string.h>

#include <initializer_list>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "binding/library_file.h"
#include "binding/library_functions.h"
#include "server/rfax_api.h"
#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)library_calls-win32.cc 1.4 2026/12/09")

namespace tarvek {
namespace {

// What a call of a function the library lacks returns (RFaxLoadUser3 only:
// the others must be there).
constexpr int32_t kMissingFunction = -1;
// No call into the library is running.
constexpr LONG kNoCall = -1;

FARPROC bound[kLibraryFunctionCount];
// The library function running now, or kNoCall. While the library sorts,
// that stays RFaxListSort inside tarvek's comparator too: what the library
// hands it is the library's, and a broken stack hands it garbage.
volatile LONG activeCall = kNoCall;
// tarvek's comparator during a sort.
RFaxCompareFn sortCompare;

// What TARVEK_SORT_CALLBACK asks for; how the library's functions treat
// their arguments, once a call with arguments has told; and the convention
// the comparator was handed in (on x86_64, where there is one, cdecl).
CallbackConvention variableConvention = CallbackConvention::kUnknown;
CallbackConvention libraryConvention = CallbackConvention::kUnknown;
CallbackConvention sortConvention = CallbackConvention::kCdecl;

#if defined(__i386__)
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

// The comparator as the library calls it, around tarvek's own comparison.
int __cdecl cdeclComparator(const void* a, const void* b) {
  return sortCompare(a, b);
}
#if defined(__i386__)
int __stdcall stdcallComparator(const void* a, const void* b) {
  return cdeclComparator(a, b);
}
#endif

// RFaxListSort with tarvek's comparator, handed to the library in the
// convention it calls it in.
RFaxResult sortList(RFaxHandle list, RFaxCompareFn compare) {
  sortCompare = compare;
  sortConvention = comparatorConvention(variableConvention, libraryConvention);
#if defined(__i386__)
  if (sortConvention == CallbackConvention::kStdcall)
    return callLibrary<RFaxResult>(kListSort, list, stdcallComparator);
#endif
  return callLibrary<RFaxResult>(kListSort, list, cdeclComparator);
}

// The crash line is made without the C runtime's formatting and without a
// buffer on the stack: after a stack overflow in the library, what is left
// is the stack bindClientLibrary keeps (SetThreadStackGuarantee), and the
// console's last words need some of it.
FILE* crashConsole;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;
bool filterInstalled;
char crashLine[512];
size_t crashLength;

void addToCrashLine(std::initializer_list<const char*> texts) {
  for (const char* text : texts) {
    while (*text != '\0' && crashLength < sizeof crashLine)
      crashLine[crashLength++] = *text++;
  }
}

// The last line of a run that a fault in the library ended, and the
// exception's code as the exit code (as Windows ends a crashed program).
// A fault while no library call runs is tarvek's own: the system's way.
LONG WINAPI libraryFault(EXCEPTION_POINTERS* exception) {
  LONG call = activeCall;
  if (call < 0 || call >= kLibraryFunctionCount)
    return previousFilter ? previousFilter(exception)
                          : EXCEPTION_CONTINUE_SEARCH;
  DWORD code = exception->ExceptionRecord->ExceptionCode;
  static char hex[9];
  for (int i = 0; i < 8; ++i)
    hex[i] = "0123456789ABCDEF"[(code >> (28 - 4 * i)) & 0xF];
  crashLength = 0;
  addToCrashLine({"*** ", kClientLibraryFile, " failed in ",
                  kLibraryFunctions[call].name, ": exception 0x", hex, "\r\n"});
#if defined(__i386__)
  if (call == kListSort) {
    const char* other = conventionName(otherConvention(sortConvention));
    addToCrashLine({"*** If ", kClientLibraryFile,
                    " calls the sort comparator as ", other, ", set ",
                    kSortCallbackVariable, "=", other,
                    " and run tarvek again\r\n"});
  }
#endif
  writeLastWords(crashConsole, crashLine, crashLength);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void catchLibraryCrashes(FILE* console) {
  crashConsole = console;
  LPTOP_LEVEL_EXCEPTION_FILTER before =
      SetUnhandledExceptionFilter(libraryFault);
  if (!filterInstalled) previousFilter = before;
  filterInstalled = true;
}

bool takeLibraryFunctions(void* module, const char** missing) {
  HMODULE library = static_cast<HMODULE>(module);
  for (int i = 0; i < kLibraryFunctionCount; ++i) {
    const LibraryFunction& function = kLibraryFunctions[i];
    char name[128];
    for (int form = 0; form < kExportNameForms && !bound[i]; ++form) {
      if (exportName(function, form, name, sizeof name))
        bound[i] = GetProcAddress(library, name);
    }
    if (!bound[i] && function.required) {
      *missing = function.name;
      return false;
    }
  }
  return true;
}

void setSortCallbackConvention(CallbackConvention convention) {
  variableConvention = convention;
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
