// Identification strings in the "@(#)" convention, kept in the binary even
// when nothing refers to them, so `strings` or `what` can find them.
#ifndef TARVEK_UTIL_IDENT_H_
#define TARVEK_UTIL_IDENT_H_

#if defined(__GNUC__)
#define TARVEK_KEEP __attribute__((used))
#else
#define TARVEK_KEEP
#endif

/// One per source file: TARVEK_IDENT("@(#)file.cc 1.1 2026/12/08").
#define TARVEK_IDENT(text)                          \
  namespace {                                       \
  [[maybe_unused]] TARVEK_KEEP const char kIdent[] = text; \
  }

#endif  // TARVEK_UTIL_IDENT_H_
