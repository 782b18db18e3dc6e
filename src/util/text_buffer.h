// A reusable byte buffer for building report text without printf: decimal
// and hexadecimal numbers are written directly. One buffer serves a whole
// run, so building a line allocates nothing once the buffer has grown.
#ifndef TARVEK_UTIL_TEXT_BUFFER_H_
#define TARVEK_UTIL_TEXT_BUFFER_H_

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

namespace tarvek {

class TextBuffer {
 public:
  void clear() { text_.clear(); }
  const char* data() const { return text_.data(); }
  size_t size() const { return text_.size(); }

  void append(const char* text, size_t length) { text_.append(text, length); }
  void append(const char* text) { text_.append(text); }
  void append(char c) { text_.push_back(c); }

  /// "%lu" / "%u": decimal, no sign.
  void appendUnsigned(uint64_t value) {
    char digits[20];
    size_t n = 0;
    do {
      digits[n++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    while (n > 0) text_.push_back(digits[--n]);
  }

  /// "%d": decimal with a minus sign when negative.
  void appendSigned(int64_t value) {
    if (value < 0) {
      text_.push_back('-');
      appendUnsigned(0 - static_cast<uint64_t>(value));
    } else {
      appendUnsigned(static_cast<uint64_t>(value));
    }
  }

  /// "%0*X": `digits` upper-case hexadecimal digits with leading zeros.
  void appendHex(uint32_t value, int digits) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      text_.push_back(kHex[(value >> shift) & 0xF]);
  }

  /// Writes the text to `stream`; true when all of it was accepted.
  bool writeTo(FILE* stream) const {
    return fwrite(text_.data(), 1, text_.size(), stream) == text_.size();
  }

 private:
  std::string text_;
};

}  // namespace tarvek

#endif  // TARVEK_UTIL_TEXT_BUFFER_H_
