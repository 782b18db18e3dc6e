#include "binding/bind_failure.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "binding/calling_convention.h"
#include "binding/library_file.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)bind_failure.cc 1.1 2026/12/09")

namespace tarvek {
namespace {

template <typename Char>
void put(LineOutput<Char>* out, const char* text) {
  out->text(text, strlen(text));
}

template <typename Char>
bool isFirstHalf(Char c) {
  uint32_t unit = static_cast<uint32_t>(c);
  return unit >= 0xD800 && unit < 0xDC00;
}

// A text of the system's, in pieces; a folder with '\' for '/'.
template <typename Char>
void putSystemText(LineOutput<Char>* out, const TextSpan<Char>& span,
                   bool folder) {
  Char piece[kSystemTextPiece];
  for (size_t i = 0; i < span.length;) {
    size_t n = 0;
    while (n < kSystemTextPiece && i < span.length) {
      Char c = span.text[i++];
      piece[n++] = folder && c == '/' ? Char('\\') : c;
    }
    if (n == kSystemTextPiece && i < span.length && isFirstHalf(piece[n - 1])) {
      --n;
      --i;
    }
    out->systemText(piece, n);
  }
}

// FOLDER\RFWIN32.dll.
template <typename Char>
void putPath(LineOutput<Char>* out, const TextSpan<Char>& folder) {
  putSystemText(out, folder, true);
  if (libraryPathLength(folder) > folder.length + sizeof kClientLibraryFile - 1)
    put(out, "\\");
  put(out, kClientLibraryFile);
}

// The folders of `search` whose RFWIN32.dll Windows would load (or, with
// `tooLong`, the others), joined by "; ".
template <typename Char>
void putFolders(LibrarySearch<Char> search, bool tooLong,
                LineOutput<Char>* out) {
  const char* separator = "";
  for (TextSpan<Char> folder; search.next(&folder);) {
    if ((libraryPathLength(folder) >= kLibraryPathRoom) != tooLong) continue;
    put(out, separator);
    putSystemText(out, folder, true);
    separator = "; ";
  }
}

template <typename Char>
bool anyTooLong(LibrarySearch<Char> search) {
  for (TextSpan<Char> folder; search.next(&folder);)
    if (libraryPathLength(folder) >= kLibraryPathRoom) return true;
  return false;
}

template <typename Char>
void putNotFound(const BindFailure<Char>& failure, LineOutput<Char>* out) {
  put(out, "*** ");
  put(out, kClientLibraryFile);
  put(out, " not found; looked in: ");
  putFolders(failure.search, false, out);
  if (anyTooLong(failure.search)) {
    char text[128];
    snprintf(text, sizeof text,
             "; too long for Windows to load from (%lu characters or more "
             "with \\%s): ",
             static_cast<unsigned long>(kLibraryPathRoom), kClientLibraryFile);
    put(out, text);
    putFolders(failure.search, true, out);
  }
}

template <typename Char>
void putLoadFailure(const BindFailure<Char>& failure, LineOutput<Char>* out) {
  put(out, "*** Can't load ");
  putPath(out, failure.folder);
  put(out, ": ");
  char reason[512];
  systemReasonText(failure.systemText, failure.systemError, reason,
                   sizeof reason);
  put(out, reason);
  if (failure.kind == BindFailureKind::kNotUsable)
    put(out, "; not a usable DLL (damaged, or not a DLL)");
  if (failure.kind == BindFailureKind::kDependency) {
    put(out, "; ");
    put(out, kClientLibraryFile);
    put(out, " or a DLL it needs is damaged or built for another machine");
  }
  char notOurs[32];
  snprintf(notOurs, sizeof notOurs, " (not a %d-bit DLL)", failure.programBits);
  const char* separator = "; passed over: ";
  for (size_t i = 0; i < failure.passedOverCount; ++i) {
    put(out, separator);
    putPath(out, failure.passedOver[i]);
    put(out, notOurs);
    separator = ", ";
  }
  if (failure.passedOverUnrecorded > 0) {
    char more[64];
    snprintf(more, sizeof more, "%s%lu more", separator,
             static_cast<unsigned long>(failure.passedOverUnrecorded));
    put(out, more);
    put(out, notOurs);
  }
}

}  // namespace

template <typename Char>
void writeFailureLine(const BindFailure<Char>& failure, LineOutput<Char>* out) {
  switch (failure.kind) {
    case BindFailureKind::kNone: return;
    case BindFailureKind::kVariableRefused:
      put(out, "*** ");
      put(out, kSortCallbackVariable);
      put(out, " must be cdecl or stdcall, not \"");
      putSystemText(out, failure.value, false);
      put(out, "\"");
      break;
    case BindFailureKind::kNotFound: putNotFound(failure, out); break;
    case BindFailureKind::kCantLoad:
    case BindFailureKind::kNotUsable:
    case BindFailureKind::kDependency: putLoadFailure(failure, out); break;
    case BindFailureKind::kNoFunction:
      put(out, "*** No function ");
      put(out, failure.function);
      put(out, " in ");
      putPath(out, failure.folder);
      break;
  }
  put(out, "\n");
}

template void writeFailureLine(const BindFailure<char>&, LineOutput<char>*);
template void writeFailureLine(const BindFailure<wchar_t>&,
                               LineOutput<wchar_t>*);

void systemReasonText(const char* raw, unsigned long error, char* text,
                      size_t room) {
  if (room == 0) return;
  size_t length = raw ? strlen(raw) : 0;
  while (length > 0 && (raw[length - 1] == '\r' || raw[length - 1] == '\n' ||
                        raw[length - 1] == ' '))
    --length;
  if (length == 0) {
    snprintf(text, room, "system error %lu", error);
    return;
  }
  size_t used = 0;
  auto append = [&](const char* part, size_t size) {
    size_t fits = used + size < room ? size : room - 1 - used;
    memcpy(text + used, part, fits);
    used += fits;
  };
  for (size_t i = 0; i < length;) {
    if (i + 1 < length && raw[i] == '%' && raw[i + 1] == '1') {
      append(kClientLibraryFile, sizeof kClientLibraryFile - 1);
      i += 2;
    } else {
      append(raw + i++, 1);
    }
  }
  text[used] = '\0';
}

}  // namespace tarvek
