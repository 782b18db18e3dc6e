#include "app/version.h"

#include "util/ident.h"

TARVEK_IDENT("@(#)version.cc 1.1 2026/12/08")

namespace tarvek {

namespace {

TARVEK_KEEP const char kReleaseIdent[] = "@(#)Release: 1.0";
TARVEK_KEEP const char kBuiltIdent[] = "@(#)Built: " __DATE__;

constexpr int kIdentPrefixLength = 4;  // "@(#)"

}  // namespace

const char kRelease[] = "1.0";

const char* buildText() { return kBuiltIdent + kIdentPrefixLength; }

}  // namespace tarvek
