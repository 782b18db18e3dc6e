#include "binding/calling_convention.h"

#include <string.h>

#include <initializer_list>

#include "util/ascii.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)calling_convention.cc 1.1 2026/12/09")

namespace tarvek {

CallbackConvention conventionFromStack(uint32_t argumentBytes,
                                       uint32_t bytesLeft) {
  if (argumentBytes == 0) return CallbackConvention::kUnknown;
  if (bytesLeft == 0) return CallbackConvention::kStdcall;
  if (bytesLeft == argumentBytes) return CallbackConvention::kCdecl;
  return CallbackConvention::kUnknown;
}

bool parseCallbackConvention(const char* text, CallbackConvention* convention) {
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

bool parseWideCallbackConvention(const wchar_t* value, size_t length,
                                 CallbackConvention* convention) {
  char letters[32];
  bool plain = length < sizeof letters;
  for (size_t i = 0; plain && i < length; ++i) {
    plain = value[i] > 0 && value[i] < 0x7F;
    letters[i] = static_cast<char>(value[i]);
  }
  if (!plain) {
    *convention = CallbackConvention::kUnknown;
    return false;
  }
  letters[length] = '\0';
  return parseCallbackConvention(letters, convention);
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

}  // namespace tarvek
