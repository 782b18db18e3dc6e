#include "binding/library_search.h"

#include <initializer_list>
#include <string>

#include "binding/library_file.h"
#include "util/ascii.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)library_search.cc 1.3 2026/12/09")

namespace tarvek {
namespace {

// What a missing text stands for.
template <typename Char>
constexpr Char kNoText = Char();

template <typename Char>
bool isSeparator(Char c) {
  return c == '\\' || c == '/';
}

template <typename Char>
size_t textLength(const Char* text) {
  return std::char_traits<Char>::length(text);
}

// A folder's text without the separators it ends in ("C:\x\" is "C:\x"),
// keeping a drive's root whole ("C:\").
template <typename Char>
size_t trimmedLength(const Char* text, size_t length) {
  while (length > 3 && isSeparator(text[length - 1])) --length;
  return length;
}

template <typename Char>
bool sameFolder(const Char* a, size_t aLength, const Char* b, size_t bLength) {
  aLength = trimmedLength(a, aLength);
  bLength = trimmedLength(b, bLength);
  if (aLength != bLength) return false;
  for (size_t i = 0; i < aLength; ++i) {
    if (isSeparator(a[i]) && isSeparator(b[i])) continue;
    if (foldLetter(a[i]) != foldLetter(b[i])) return false;
  }
  return true;
}

// The PATH entry at `*cursor` (double quotes around it removed, as cmd's
// own search takes "C:\Program Files\x"); moves `*cursor` past it.
template <typename Char>
void pathEntry(const Char** cursor, const Char** start, size_t* length) {
  const Char* begin = *cursor;
  const Char* end = begin;
  while (*end && *end != ';') ++end;
  *cursor = *end ? end + 1 : end;
  if (end - begin >= 2 && *begin == '"' && end[-1] == '"') {
    ++begin;
    --end;
  }
  *start = begin;
  *length = static_cast<size_t>(end - begin);
}

}  // namespace

template <typename Char>
bool isAbsoluteFolder(const Char* text, size_t length) {
  Char drive = foldLetter(length > 0 ? text[0] : Char());
  if (length >= 3 && drive >= 'a' && drive <= 'z' && text[1] == ':' &&
      isSeparator(text[2]))
    return true;
  return length >= 3 && isSeparator(text[0]) && isSeparator(text[1]) &&
         !isSeparator(text[2]);
}

template <typename Char>
LibrarySearch<Char>::LibrarySearch(const Char* programFolder,
                                   const Char* systemFolder,
                                   const Char* pathText)
    : programFolder_(programFolder ? programFolder : &kNoText<Char>),
      systemFolder_(systemFolder ? systemFolder : &kNoText<Char>),
      pathStart_(pathText ? pathText : &kNoText<Char>),
      path_(pathStart_) {}

// True when `text` names a folder that came before the PATH entry `entry`:
// one of the first two, or an absolute PATH entry before it.
template <typename Char>
bool LibrarySearch<Char>::seenBefore(const Char* text, size_t length,
                                     const Char* entry) const {
  for (const Char* fixed : {programFolder_, systemFolder_}) {
    if (*fixed && sameFolder(text, length, fixed, textLength(fixed)))
      return true;
  }
  const Char* cursor = pathStart_;
  while (cursor < entry) {
    const Char* start;
    size_t earlierLength;
    pathEntry(&cursor, &start, &earlierLength);
    if (start < entry && isAbsoluteFolder(start, earlierLength) &&
        sameFolder(text, length, start, earlierLength))
      return true;
  }
  return false;
}

template <typename Char>
bool LibrarySearch<Char>::next(TextSpan<Char>* folder) {
  while (fixedDone_ < 2) {
    bool system = fixedDone_++ == 1;
    const Char* fixed = system ? systemFolder_ : programFolder_;
    size_t length = textLength(fixed);
    if (length == 0 || (system && sameFolder(fixed, length, programFolder_,
                                             textLength(programFolder_))))
      continue;
    *folder = {fixed, length};
    return true;
  }
  while (*path_) {
    const Char* start;
    size_t length;
    pathEntry(&path_, &start, &length);
    if (!isAbsoluteFolder(start, length) || seenBefore(start, length, start))
      continue;
    *folder = {start, length};
    return true;
  }
  return false;
}

template <typename Char>
void absolutePathEntries(const Char* pathText, Char* out) {
  const Char* cursor = pathText ? pathText : &kNoText<Char>;
  Char* end = out;
  while (*cursor) {
    const Char* raw = cursor;
    const Char* start;
    size_t length;
    pathEntry(&cursor, &start, &length);
    if (!isAbsoluteFolder(start, length)) continue;
    if (end != out) *end++ = ';';
    for (const Char* c = raw; c < cursor && *c != ';'; ++c) *end++ = *c;
  }
  *end = '\0';
}

template <typename Char>
size_t libraryPathLength(const TextSpan<Char>& folder) {
  bool separator =
      folder.length > 0 && !isSeparator(folder.text[folder.length - 1]);
  return folder.length + separator + sizeof kClientLibraryFile - 1;
}

template <typename Char>
bool libraryPath(const TextSpan<Char>& folder, Char* path, size_t room) {
  size_t length = libraryPathLength(folder);
  if (length >= room) return false;
  for (size_t i = 0; i < folder.length; ++i)
    path[i] = isSeparator(folder.text[i]) ? Char('\\') : folder.text[i];
  size_t used = folder.length;
  if (used + sizeof kClientLibraryFile - 1 < length) path[used++] = '\\';
  for (const char* c = kClientLibraryFile; *c; ++c) path[used++] = *c;
  path[used] = '\0';
  return true;
}

template bool isAbsoluteFolder(const char*, size_t);
template bool isAbsoluteFolder(const wchar_t*, size_t);
template void absolutePathEntries(const char*, char*);
template void absolutePathEntries(const wchar_t*, wchar_t*);
template class LibrarySearch<char>;
template class LibrarySearch<wchar_t>;
template size_t libraryPathLength(const TextSpan<char>&);
template size_t libraryPathLength(const TextSpan<wchar_t>&);
template bool libraryPath(const TextSpan<char>&, char*, size_t);
template bool libraryPath(const TextSpan<wchar_t>&, wchar_t*, size_t);

}  // namespace tarvek
