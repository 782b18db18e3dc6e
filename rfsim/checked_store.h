// Storage whose size a server file decides, with every allocation checked:
// a failed allocation makes the operation return false (the caller fails
// its call with code 3, "out of memory"); nothing throws or aborts. The
// allocations go through one seam that a unit test can make fail.
#ifndef TARVEK_RFSIM_CHECKED_STORE_H_
#define TARVEK_RFSIM_CHECKED_STORE_H_

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace rfsim {

/// malloc/realloc through the seam: null when the memory can't be had (or
/// the seam says so). releaseBytes(null) does nothing.
void* allocateBytes(size_t size);
void* reallocateBytes(void* block, size_t size);
void releaseBytes(void* block);

/// Test seam: after `allowed` more successful allocations every further one
/// fails; a negative count lifts it.
void failAllocationsAfterForTests(long allowed);

/// A growing array of a trivially copyable type.
template <typename T>
class CheckedArray {
 public:
  CheckedArray() = default;
  CheckedArray(const CheckedArray&) = delete;
  CheckedArray& operator=(const CheckedArray&) = delete;
  CheckedArray(CheckedArray&& other) noexcept { take(&other); }
  CheckedArray& operator=(CheckedArray&& other) noexcept {
    if (this != &other) {
      releaseBytes(data_);
      take(&other);
    }
    return *this;
  }
  ~CheckedArray() { releaseBytes(data_); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }

  /// Room for `capacity` elements; false when it can't be had.
  bool reserve(size_t capacity) {
    if (capacity <= capacity_) return true;
    if (capacity > SIZE_MAX / sizeof(T)) return false;
    void* grown = reallocateBytes(data_, capacity * sizeof(T));
    if (grown == nullptr) return false;
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
    return true;
  }
  /// `count` elements; new ones are left unset.
  bool resize(size_t count) {
    if (!reserve(count)) return false;
    size_ = count;
    return true;
  }
  bool push(const T& value) { return append(&value, 1); }
  bool append(const T* values, size_t count) {
    if (count > SIZE_MAX / 2 - size_) return false;
    if (size_ + count > capacity_) {
      size_t wanted = capacity_ < 16 ? 16 : capacity_ * 2;
      if (wanted < size_ + count) wanted = size_ + count;
      if (!reserve(wanted)) return false;
    }
    if (count != 0) memcpy(data_ + size_, values, count * sizeof(T));
    size_ += count;
    return true;
  }
  void clear() { size_ = 0; }
  /// Empties it and gives its storage back.
  void release() {
    releaseBytes(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  void take(CheckedArray* other) {
    data_ = other->data_;
    size_ = other->size_;
    capacity_ = other->capacity_;
    other->data_ = nullptr;
    other->size_ = other->capacity_ = 0;
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

/// A hash index of byte-string keys, each with a payload of bytes and a
/// number, in insertion order. Keys compare exactly, or with the letters
/// A-Z taken as a-z (`foldLetters`). Keys and payloads are at most 4 GiB
/// all together.
class TextIndex {
 public:
  struct Entry {
    uint32_t offset;  ///< of the key in the text; the payload follows it
    uint32_t keyLength;
    uint32_t payloadLength;
    uint32_t value;
  };

  explicit TextIndex(bool foldLetters = false) : fold_(foldLetters) {}
  TextIndex(TextIndex&&) noexcept = default;
  TextIndex& operator=(TextIndex&&) noexcept = default;

  /// Adds `key` with its payload and value unless the key is there already
  /// (`*added` false, nothing changed). False when memory is short; the index
  /// is then as it was.
  bool insert(const char* key, size_t keyLength, const void* payload,
              size_t payloadLength, uint32_t value, bool* added);
  /// The entry of `key`, or null.
  const Entry* find(const char* key, size_t keyLength) const;

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const Entry& entry(size_t i) const { return entries_[i]; }
  const char* keyOf(const Entry& entry) const {
    return text_.data() + entry.offset;
  }
  const unsigned char* payloadOf(const Entry& entry) const {
    return reinterpret_cast<const unsigned char*>(text_.data()) + entry.offset +
           entry.keyLength;
  }
  /// Empties it; large storage is given back.
  void clear();

 private:
  uint64_t hash(const char* key, size_t length) const;
  bool same(const Entry& entry, const char* key, size_t length) const;
  bool grow();

  bool fold_;
  CheckedArray<char> text_;
  CheckedArray<Entry> entries_;
  CheckedArray<uint32_t> slots_;  // entry number + 1; 0 is a free slot
};

}  // namespace rfsim

#endif  // TARVEK_RFSIM_CHECKED_STORE_H_
