// Identification strings in the "@(#)" convention, kept in the binary even
// when nothing refers to them, so `strings` or `what` can find them.
#ifndef TARVEK_UTIL_IDENT_H_
#define TARVEK_UTIL_IDENT_H_

#if defined(__GNUC__)
#define TARVEK_KEEP __attribute__((used))
#else
#define TARVEK_KEEP
#endif

// The build's string for this file from its git history, where it has one
// (cmake/source_idents.cmake): the header defines TARVEK_FILE_IDENT.
#if defined(TARVEK_IDENT_HEADER)
#include TARVEK_IDENT_HEADER
#endif
#if defined(TARVEK_FILE_IDENT)
#define TARVEK_IDENT_TEXT(text) TARVEK_FILE_IDENT
#else
#define TARVEK_IDENT_TEXT(text) text
#endif

/// One per source file: TARVEK_IDENT("@(#)file.cc 1.1 2026/12/08"), the
/// file's name, revision and date. The build's string from git, where there
/// is one, stands in for the text.
#define TARVEK_IDENT(text)                                                    \
  namespace {                                                                 \
  [[maybe_unused]] TARVEK_KEEP const char kIdent[] = TARVEK_IDENT_TEXT(text); \
  }

#endif  // TARVEK_UTIL_IDENT_H_
