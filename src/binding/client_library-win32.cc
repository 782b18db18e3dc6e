#include "server/client_library.h"

#include <wchar.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "binding/bind_failure.h"
#include "binding/calling_convention.h"
#include "binding/library_calls.h"
#include "binding/library_loader.h"
#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)client_library-win32.cc 1.4 2026/12/09")

namespace tarvek {
namespace {

// Room the system keeps on the stack for the crash filter after a stack
// overflow inside the library.
constexpr ULONG kStackKeptForCrashes = 32 * 1024;

// A failure's line on the console stream.
class ConsoleLine : public LineOutput<wchar_t> {
 public:
  explicit ConsoleLine(FILE* console) : console_(console) {}
  void text(const char* text, size_t size) override {
    writeText(console_, text, size);
  }
  void systemText(const wchar_t* text, size_t size) override {
    wchar_t piece[kSystemTextPiece + 1];
    wmemcpy(piece, text, size);
    piece[size] = L'\0';
    writeWideText(console_, piece);
  }

 private:
  FILE* console_;
};

// Reads TARVEK_SORT_CALLBACK (32-bit Windows only: elsewhere there is one
// convention); false, with the failure that shows the value, for a value
// it doesn't take.
bool readSortCallbackVariable(CallbackConvention* convention,
                              BindFailure<wchar_t>* failure) {
  *convention = CallbackConvention::kUnknown;
#if defined(__i386__)
  // The value stays for the failure's line: the longest a variable has.
  constexpr DWORD kRoom = 32768;
  static wchar_t value[kRoom];
  wchar_t name[sizeof kSortCallbackVariable];
  for (size_t i = 0; i < sizeof name / sizeof name[0]; ++i)
    name[i] = static_cast<wchar_t>(kSortCallbackVariable[i]);
  DWORD length = GetEnvironmentVariableW(name, value, kRoom);
  if (length >= kRoom) length = 0;
  value[length] = L'\0';
  if (parseWideCallbackConvention(value, length, convention)) return true;
  failure->kind = BindFailureKind::kVariableRefused;
  failure->value = {value, length};
  return false;
#else
  static_cast<void>(failure);
  return true;
#endif
}

}  // namespace

bool bindClientLibrary(FILE* console) {
  // No error box for the whole run: a DLL that can't be loaded, or a crash,
  // is a result, never a window that waits for a click. A crash inside the
  // library is one line.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
               SEM_NOOPENFILEERRORBOX);
  ULONG kept = kStackKeptForCrashes;
  SetThreadStackGuarantee(&kept);
  catchLibraryCrashes(console);
  BindFailure<wchar_t> failure;
  CallbackConvention convention;
  if (readSortCallbackVariable(&convention, &failure)) {
    void* library = loadClientLibrary(&failure);
    if (library != nullptr) {
      catchLibraryCrashes(console);
      setSortCallbackConvention(convention);
      if (takeLibraryFunctions(library, &failure.function)) return true;
      failure.kind = BindFailureKind::kNoFunction;
    }
  }
  ConsoleLine line(console);
  writeFailureLine(failure, &line);
  fflush(console);
  return false;
}

}  // namespace tarvek
