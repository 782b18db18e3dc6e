// The calling convention of the sort comparator that tarvek.exe hands the
// library (32-bit Windows; elsewhere there is one convention): told by the
// library's own functions, or set by TARVEK_SORT_CALLBACK.
#ifndef TARVEK_BINDING_CALLING_CONVENTION_H_
#define TARVEK_BINDING_CALLING_CONVENTION_H_

#include <stddef.h>
#include <stdint.h>

namespace tarvek {

/// How the library calls the sort comparator it is handed.
enum class CallbackConvention { kUnknown, kCdecl, kStdcall };

/// The convention of a library's functions, told by one call with
/// `argumentBytes` (more than 0) of arguments after which `bytesLeft` of
/// them were still on the stack: a stdcall function pops them all, a cdecl
/// one none. kUnknown for anything else.
CallbackConvention conventionFromStack(uint32_t argumentBytes,
                                       uint32_t bytesLeft);

/// The environment variable that sets the comparator's convention for a
/// library whose functions and callbacks differ.
constexpr char kSortCallbackVariable[] = "TARVEK_SORT_CALLBACK";

/// Reads the variable's value: "cdecl" or "stdcall" (letters in any case,
/// blanks around it ignored) set that convention; null, empty or blank
/// leave it kUnknown (the library's own functions decide). False for any
/// other text.
bool parseCallbackConvention(const char* text, CallbackConvention* convention);

/// The same for the variable's value as the system gives it (`length`
/// wide characters): a value with any character outside plain ASCII, or
/// of 32 characters or more, names no convention.
bool parseWideCallbackConvention(const wchar_t* value, size_t length,
                                 CallbackConvention* convention);

/// The convention the comparator is handed in: the variable's, else the
/// library's functions', else cdecl (the C runtime's qsort).
CallbackConvention comparatorConvention(CallbackConvention variable,
                                        CallbackConvention library);

/// "cdecl" or "stdcall" (kUnknown: "cdecl").
const char* conventionName(CallbackConvention convention);

/// The convention to suggest after a sort that crashed in `convention`.
CallbackConvention otherConvention(CallbackConvention convention);

}  // namespace tarvek

#endif  // TARVEK_BINDING_CALLING_CONVENTION_H_
