#include "server/library_search.h"

#include <stdio.h>
#include <string.h>

#include "util/ascii.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)library_search.cc 1.1 2026/12/09")

namespace tarvek {

const LibraryFunction kLibraryFunctions[kLibraryFunctionCount] = {
    {"RFaxGetAPIVersion", 0, true},
    {"RFaxCreateServerHandle", 12, true},
    {"RFaxVersionCheck", 12, true},
    {"RFaxGetServerInfo2", 8, true},
    {"RFaxStringRFaxErr", 12, true},
    {"RFaxCloseServerHandle", 4, true},
    {"RFaxGetUserList", 12, true},
    {"RFaxListSort", 8, true},
    {"RFaxListGetFirstElementPtr", 8, true},
    {"RFaxListGetNextElementPtr", 8, true},
    {"RFaxCloseListHandle", 4, true},
    {"RFaxLoadUser", 24, true},
    {"RFaxLoadUser3", 40, false},
};

bool exportName(const LibraryFunction& function, int form, char* name,
                size_t room) {
  int length = -1;
  switch (form) {
    case 0:
      length = snprintf(name, room, "%s", function.name);
      break;
    case 1:
      length =
          snprintf(name, room, "_%s@%d", function.name, function.argumentBytes);
      break;
    case 2:
      length =
          snprintf(name, room, "%s@%d", function.name, function.argumentBytes);
      break;
    case 3:
      length = snprintf(name, room, "_%s", function.name);
      break;
    default:
      break;
  }
  return length >= 0 && static_cast<size_t>(length) < room;
}

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A folder's text without the separators it ends in ("C:\x\" is "C:\x"),
// keeping a drive's root whole ("C:\").
size_t trimmedLength(const char* text, size_t length) {
  while (length > 3 && isSeparator(text[length - 1])) --length;
  return length;
}

bool sameFolder(const char* a, size_t aLength, const char* b) {
  aLength = trimmedLength(a, aLength);
  size_t bLength = trimmedLength(b, strlen(b));
  if (aLength != bLength) return false;
  for (size_t i = 0; i < aLength; ++i) {
    if (isSeparator(a[i]) && isSeparator(b[i])) continue;
    if (foldLetter(a[i]) != foldLetter(b[i])) return false;
  }
  return true;
}

bool copyFolder(const char* text, size_t length, char* folder, size_t room) {
  if (length >= room) return false;
  memcpy(folder, text, length);
  folder[length] = '\0';
  return true;
}

}  // namespace

bool isAbsoluteFolder(const char* text, size_t length) {
  char drive = foldLetter(length > 0 ? text[0] : '\0');
  if (length >= 3 && drive >= 'a' && drive <= 'z' && text[1] == ':' &&
      isSeparator(text[2]))
    return true;
  return length >= 3 && isSeparator(text[0]) && isSeparator(text[1]) &&
         !isSeparator(text[2]);
}

LibrarySearch::LibrarySearch(const char* programFolder,
                             const char* systemFolder, const char* pathText)
    : programFolder_(programFolder),
      systemFolder_(systemFolder),
      path_(pathText ? pathText : "") {}

bool LibrarySearch::sameAsFixed(const char* text, size_t length) const {
  return (programFolder_ && sameFolder(text, length, programFolder_)) ||
         (systemFolder_ && sameFolder(text, length, systemFolder_));
}

bool LibrarySearch::next(char* folder, size_t room) {
  while (fixedDone_ < 2) {
    const char* fixed = fixedDone_++ == 0 ? programFolder_ : systemFolder_;
    if (fixed && *fixed && copyFolder(fixed, strlen(fixed), folder, room))
      return true;
  }
  while (*path_) {
    const char* start = path_;
    const char* end = strchr(start, ';');
    if (!end) end = start + strlen(start);
    path_ = *end ? end + 1 : end;
    // "C:\Program Files\x" is an entry as cmd's own search takes it.
    if (end - start >= 2 && *start == '"' && end[-1] == '"') {
      ++start;
      --end;
    }
    size_t length = static_cast<size_t>(end - start);
    if (!isAbsoluteFolder(start, length) || sameAsFixed(start, length))
      continue;
    if (copyFolder(start, length, folder, room)) return true;
  }
  return false;
}

}  // namespace tarvek
