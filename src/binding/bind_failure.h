// Why tarvek.exe can't use the client library, as a value, and the one
// line that says so. The Windows binding fills the value; writing its line
// is plain logic over texts, the same on every platform.
#ifndef TARVEK_BINDING_BIND_FAILURE_H_
#define TARVEK_BINDING_BIND_FAILURE_H_

#include <stddef.h>

#include "binding/library_search.h"

namespace tarvek {

enum class BindFailureKind {
  kNone,
  /// TARVEK_SORT_CALLBACK names no convention: `value`.
  kVariableRefused,
  /// No RFWIN32.dll in any folder of `search`.
  kNotFound,
  /// The RFWIN32.dll in `folder` doesn't load: `systemError`.
  kCantLoad,
  /// A bad image format, and the file is no image for any machine.
  kNotUsable,
  /// A bad image format, and the file is a whole DLL for this machine: it
  /// or a DLL it needs is damaged or built for another machine.
  kDependency,
  /// The RFWIN32.dll in `folder` lacks `function`.
  kNoFunction,
};

/// What went wrong. The texts it points to are the binding's and stay
/// while the run lasts.
template <typename Char>
struct BindFailure {
  BindFailureKind kind = BindFailureKind::kNone;
  /// kNotFound: the search, from its start.
  LibrarySearch<Char> search{nullptr, nullptr, nullptr};
  /// From kCantLoad on: the folder of the RFWIN32.dll concerned.
  TextSpan<Char> folder;
  /// kCantLoad to kDependency: the system's error and its text as the
  /// system formats it (null when it has none).
  unsigned long systemError = 0;
  const char* systemText = nullptr;
  /// kCantLoad to kDependency: the folders whose RFWIN32.dll was passed over
  /// before it as an image for another machine, and how many more were
  /// that there was no memory to record.
  const TextSpan<Char>* passedOver = nullptr;
  size_t passedOverCount = 0;
  size_t passedOverUnrecorded = 0;
  /// The bits of the program's machine (32 or 64).
  int programBits = 32;
  /// kNoFunction: the function's name.
  const char* function = nullptr;
  /// kVariableRefused: the variable's value.
  TextSpan<Char> value;
};

/// Where a line goes, piece by piece.
template <typename Char>
class LineOutput {
 public:
  virtual ~LineOutput() = default;
  /// tarvek's own text, or the system's reason (in the ANSI code page).
  virtual void text(const char* text, size_t size) = 0;
  /// A text of the system's, at most kSystemTextPiece characters, never
  /// the half of a surrogate pair.
  virtual void systemText(const Char* text, size_t size) = 0;
};

constexpr size_t kSystemTextPiece = 256;

/// Writes the line for `failure` (not kNone) to `out`, "\n" at its end:
///   *** TARVEK_SORT_CALLBACK must be cdecl or stdcall, not "VALUE"
///   *** RFWIN32.dll not found; looked in: FOLDER; FOLDER
///   *** Can't load PATH: REASON
///   *** Can't load PATH: REASON; not a usable DLL (damaged, or not a DLL)
///   *** Can't load PATH: REASON; RFWIN32.dll or a DLL it needs is damaged
///       or built for another machine
///   *** No function NAME in PATH
/// PATH is FOLDER\RFWIN32.dll, every folder with '\' as its separator; a
/// "Can't load" line ends with "; passed over: PATH (not a 32-bit DLL), ..."
/// when files were passed over; "not found" adds "; too long for Windows to
/// load from (260 characters or more with \RFWIN32.dll): FOLDER; ..." for
/// the folders not looked in for that. REASON is systemReasonText's.
template <typename Char>
void writeFailureLine(const BindFailure<Char>& failure, LineOutput<Char>* out);

/// The system's text for a failure (`raw`, as the system formats it, line
/// end and all) into `text` (`room` bytes): without its trailing line end
/// and blanks, each "%1" in it (as in "%1 is not a valid Win32
/// application.") naming the library's file; "system error N" when the
/// system has no text for it.
void systemReasonText(const char* raw, unsigned long error, char* text,
                      size_t room);

}  // namespace tarvek

#endif  // TARVEK_BINDING_BIND_FAILURE_H_
