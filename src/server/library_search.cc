#include "server/library_search.h"

#include <stdio.h>
#include <string.h>

#include <initializer_list>
#include <string>

#include "util/ascii.h"
#include "util/bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)library_search.cc 1.2 2026/12/09")

namespace tarvek {
namespace {

// What a missing text stands for.
template <typename Char>
constexpr Char kNoText = Char();

}  // namespace

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
bool sameFolder(const Char* a, size_t aLength, const Char* b,
                size_t bLength) {
  aLength = trimmedLength(a, aLength);
  bLength = trimmedLength(b, bLength);
  if (aLength != bLength) return false;
  for (size_t i = 0; i < aLength; ++i) {
    if (isSeparator(a[i]) && isSeparator(b[i])) continue;
    if (foldLetter(a[i]) != foldLetter(b[i])) return false;
  }
  return true;
}

// The folder, with '\' for '/', into `folder`; false when it doesn't fit.
template <typename Char>
bool copyFolder(const Char* text, size_t length, Char* folder, size_t room) {
  if (length >= room) return false;
  for (size_t i = 0; i < length; ++i)
    folder[i] = text[i] == '/' ? static_cast<Char>('\\') : text[i];
  folder[length] = '\0';
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
bool LibrarySearch<Char>::next(Char* folder, size_t room) {
  while (fixedDone_ < 2) {
    bool system = fixedDone_++ == 1;
    const Char* fixed = system ? systemFolder_ : programFolder_;
    size_t length = textLength(fixed);
    if (length == 0 ||
        (system && sameFolder(fixed, length, programFolder_,
                              textLength(programFolder_))))
      continue;
    if (copyFolder(fixed, length, folder, room)) return true;
  }
  while (*path_) {
    const Char* start;
    size_t length;
    pathEntry(&path_, &start, &length);
    if (!isAbsoluteFolder(start, length) || seenBefore(start, length, start))
      continue;
    if (copyFolder(start, length, folder, room)) return true;
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

template bool isAbsoluteFolder(const char*, size_t);
template bool isAbsoluteFolder(const wchar_t*, size_t);
template void absolutePathEntries(const char*, char*);
template void absolutePathEntries(const wchar_t*, wchar_t*);
template class LibrarySearch<char>;
template class LibrarySearch<wchar_t>;

CallbackConvention conventionFromStack(uint32_t argumentBytes,
                                       uint32_t bytesLeft) {
  if (argumentBytes == 0) return CallbackConvention::kUnknown;
  if (bytesLeft == 0) return CallbackConvention::kStdcall;
  if (bytesLeft == argumentBytes) return CallbackConvention::kCdecl;
  return CallbackConvention::kUnknown;
}

bool parseCallbackConvention(const char* text,
                             CallbackConvention* convention) {
  *convention = CallbackConvention::kUnknown;
  if (!text) return true;
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (blank(*text)) ++text;
  size_t length = strlen(text);
  while (length > 0 && blank(text[length - 1])) --length;
  if (length == 0) return true;
  for (CallbackConvention named :
       {CallbackConvention::kCdecl, CallbackConvention::kStdcall}) {
    const char* name = conventionName(named);
    size_t i = 0;
    while (i < length && name[i] && foldLetter(text[i]) == name[i]) ++i;
    if (!name[i] && i == length) {
      *convention = named;
      return true;
    }
  }
  return false;
}

CallbackConvention comparatorConvention(CallbackConvention variable,
                                        CallbackConvention library) {
  if (variable != CallbackConvention::kUnknown) return variable;
  if (library != CallbackConvention::kUnknown) return library;
  return CallbackConvention::kCdecl;
}

const char* conventionName(CallbackConvention convention) {
  return convention == CallbackConvention::kStdcall ? "stdcall" : "cdecl";
}

CallbackConvention otherConvention(CallbackConvention convention) {
  return convention == CallbackConvention::kStdcall
             ? CallbackConvention::kCdecl
             : CallbackConvention::kStdcall;
}

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
  auto put = [&](const char* part, size_t size) {
    size_t fits = used + size < room ? size : room - 1 - used;
    memcpy(text + used, part, fits);
    used += fits;
  };
  for (size_t i = 0; i < length;) {
    if (i + 1 < length && raw[i] == '%' && raw[i + 1] == '1') {
      put(kClientLibraryFile, sizeof kClientLibraryFile - 1);
      i += 2;
    } else {
      put(raw + i++, 1);
    }
  }
  text[used] = '\0';
}

uint32_t peHeaderOffset(const unsigned char* head, size_t size) {
  if (size < 0x40 || head[0] != 'M' || head[1] != 'Z') return 0;
  return readU32(head + 0x3C);
}

bool isOtherMachineImage(const unsigned char* header, size_t size,
                         uint16_t ownMachine) {
  if (size < 6 || memcmp(header, "PE\0\0", 4) != 0) return false;
  uint16_t machine = readU16(header + 4);
  // x86, x64, ARM (Thumb-2), ARM64, Itanium.
  static const uint16_t kWindowsMachines[] = {kMachineI386, kMachineAmd64,
                                              0x01C4, 0xAA64, 0x0200};
  if (machine == ownMachine) return false;
  for (uint16_t known : kWindowsMachines)
    if (machine == known) return true;
  return false;
}

}  // namespace tarvek
