// ASCII letter case: A-Z and a-z are the only letters folded; every other
// byte stays as it is.
#ifndef TARVEK_UTIL_ASCII_H_
#define TARVEK_UTIL_ASCII_H_

namespace tarvek {

/// A-Z to a-z.
inline unsigned char foldLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A'))
                                : c;
}

inline char foldLetter(char c) {
  return static_cast<char>(foldLetter(static_cast<unsigned char>(c)));
}

/// A-Z to a-z in a UTF-16 (or UTF-32) text of the system.
inline wchar_t foldLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

/// a-z to A-Z.
inline char upperLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

}  // namespace tarvek

#endif  // TARVEK_UTIL_ASCII_H_
