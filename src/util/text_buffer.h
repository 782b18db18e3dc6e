// A reusable byte buffer for building report text without printf: decimal
// and hexadecimal numbers are written directly. One buffer serves a whole
// run, so building a line allocates nothing once the buffer has grown. When
// the buffer can't grow, the text that didn't fit is dropped and lost()
// says so (nothing throws).
#ifndef TARVEK_UTIL_TEXT_BUFFER_H_
#define TARVEK_UTIL_TEXT_BUFFER_H_

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "util/console.h"
#include "util/decimal.h"

namespace tarvek {

class TextBuffer {
 public:
  TextBuffer() = default;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  ~TextBuffer() { free(text_); }

  void clear() { size_ = 0; }
  const char* data() const { return text_ != nullptr ? text_ : ""; }
  size_t size() const { return size_; }
  /// True once an append was dropped for lack of memory.
  bool lost() const { return lost_; }

  void append(const char* text, size_t length) {
    if (length == 0) return;
    char* to = room(length);
    if (to == nullptr) return;
    memcpy(to, text, length);
    size_ += length;
  }
  void append(const char* text) { append(text, strlen(text)); }
  void append(char c) { append(&c, 1); }

  /// "%lu" / "%u": decimal, no sign.
  void appendUnsigned(uint64_t value) {
    char digits[kMaxDecimalDigits];
    append(digits, formatDecimal(value, 1, digits));
  }

  /// "%d": decimal with a minus sign when negative.
  void appendSigned(int64_t value) {
    if (value < 0) {
      append('-');
      appendUnsigned(0 - static_cast<uint64_t>(value));
    } else {
      appendUnsigned(static_cast<uint64_t>(value));
    }
  }

  /// "%0*X": `digits` (at most 8) upper-case hexadecimal digits with
  /// leading zeros.
  void appendHex(uint32_t value, int digits) {
    static const char kHex[] = "0123456789ABCDEF";
    char out[8];
    size_t n = 0;
    for (int shift = (digits - 1) * 4; shift >= 0 && n < sizeof out; shift -= 4)
      out[n++] = kHex[(value >> shift) & 0xF];
    append(out, n);
  }

  /// Writes the text to `stream`; true when all of it was accepted.
  bool writeTo(FILE* stream) const { return writeText(stream, text_, size_); }

 private:
  // Where `length` more bytes go, the storage grown when needed (null when
  // it can't be). The storage only grows, so appending costs a copy and no
  // allocation once the longest text has been built.
  char* room(size_t length) {
    if (capacity_ - size_ < length) {
      size_t grown = 2 * capacity_;
      if (grown < size_ + length) grown = size_ + length;
      char* bigger = static_cast<char*>(realloc(text_, grown));
      if (bigger == nullptr) {
        lost_ = true;
        return nullptr;
      }
      text_ = bigger;
      capacity_ = grown;
    }
    return text_ + size_;
  }

  char* text_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool lost_ = false;
};

}  // namespace tarvek

#endif  // TARVEK_UTIL_TEXT_BUFFER_H_
