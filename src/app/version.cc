#include "app/version.h"

#include "util/ident.h"

TARVEK_IDENT("@(#)version.cc 1.2 2026/12/08")

namespace tarvek {

namespace {

TARVEK_KEEP const char kReleaseIdent[] = "@(#)Release: 1.0";
// A reproducible build gives the date ("Mmm dd yyyy", as __DATE__ has it).
#ifdef TARVEK_BUILD_DATE
TARVEK_KEEP const char kBuiltIdent[] = "@(#)Built: " TARVEK_BUILD_DATE;
#else
TARVEK_KEEP const char kBuiltIdent[] = "@(#)Built: " __DATE__;
#endif

constexpr int kIdentPrefixLength = 4;  // "@(#)"

}  // namespace

const char kRelease[] = "1.0";

const char* buildText() { return kBuiltIdent + kIdentPrefixLength; }

}  // namespace tarvek
