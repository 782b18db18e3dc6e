#include "rfsim/checked_store.h"

#include <stdlib.h>

#include "util/ascii.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)checked_store.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

long allocationsAllowed = -1;  // negative: no limit

bool mayAllocate() {
  if (allocationsAllowed < 0) return true;
  if (allocationsAllowed == 0) return false;
  --allocationsAllowed;
  return true;
}

// The first free slot at or after the one `hash` names (there is one: the
// slots are never more than half full).
size_t freeSlot(const CheckedArray<uint32_t>& slots, uint64_t hash) {
  const size_t mask = slots.size() - 1;
  size_t at = static_cast<size_t>(hash) & mask;
  while (slots[at] != 0) at = (at + 1) & mask;
  return at;
}

}  // namespace

void* allocateBytes(size_t size) {
  return mayAllocate() ? malloc(size == 0 ? 1 : size) : nullptr;
}

void* reallocateBytes(void* block, size_t size) {
  return mayAllocate() ? realloc(block, size == 0 ? 1 : size) : nullptr;
}

void releaseBytes(void* block) { free(block); }

void failAllocationsAfterForTests(long allowed) {
  allocationsAllowed = allowed;
}

uint64_t TextIndex::hash(const char* key, size_t length) const {
  uint64_t h = 0xCBF29CE484222325ULL;  // FNV-1a
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(key[i]);
    h = (h ^ (fold_ ? tarvek::foldLetter(c) : c)) * 0x100000001B3ULL;
  }
  return h ^ (h >> 29);
}

bool TextIndex::same(const Entry& entry, const char* key, size_t length) const {
  if (entry.keyLength != length) return false;
  if (length == 0) return true;
  const char* stored = keyOf(entry);
  if (!fold_) return memcmp(stored, key, length) == 0;
  for (size_t i = 0; i < length; ++i) {
    if (tarvek::foldLetter(static_cast<unsigned char>(stored[i])) !=
        tarvek::foldLetter(static_cast<unsigned char>(key[i])))
      return false;
  }
  return true;
}

// Doubles the slots (at least 16) and places every entry again.
bool TextIndex::grow() {
  size_t count = slots_.size() < 16 ? 16 : slots_.size() * 2;
  CheckedArray<uint32_t> slots;
  if (!slots.resize(count)) return false;
  memset(slots.data(), 0, count * sizeof(uint32_t));
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    slots[freeSlot(slots, hash(keyOf(e), e.keyLength))] =
        static_cast<uint32_t>(i + 1);
  }
  slots_ = static_cast<CheckedArray<uint32_t>&&>(slots);
  return true;
}

const TextIndex::Entry* TextIndex::find(const char* key,
                                        size_t keyLength) const {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1;
  size_t at = static_cast<size_t>(hash(key, keyLength)) & mask;
  for (; slots_[at] != 0; at = (at + 1) & mask) {
    const Entry& e = entries_[slots_[at] - 1];
    if (same(e, key, keyLength)) return &e;
  }
  return nullptr;
}

bool TextIndex::insert(const char* key, size_t keyLength, const void* payload,
                       size_t payloadLength, uint32_t value, bool* added) {
  *added = false;
  if (find(key, keyLength) != nullptr) return true;
  // Keys, payloads and entry numbers are 32-bit.
  if (keyLength > UINT32_MAX || payloadLength > UINT32_MAX ||
      keyLength + payloadLength > UINT32_MAX - text_.size() ||
      entries_.size() >= UINT32_MAX / 4)
    return false;
  if (2 * (entries_.size() + 1) > slots_.size() && !grow()) return false;
  if (!entries_.reserve(entries_.size() + 1)) return false;
  Entry entry;
  entry.offset = static_cast<uint32_t>(text_.size());
  entry.keyLength = static_cast<uint32_t>(keyLength);
  entry.payloadLength = static_cast<uint32_t>(payloadLength);
  entry.value = value;
  if (!text_.append(key, keyLength)) return false;
  if (!text_.append(static_cast<const char*>(payload), payloadLength)) {
    text_.resize(entry.offset);
    return false;
  }
  entries_.push(entry);  // room was reserved above
  slots_[freeSlot(slots_, hash(key, keyLength))] =
      static_cast<uint32_t>(entries_.size());
  *added = true;
  return true;
}

void TextIndex::clear() {
  if (entries_.empty()) return;
  if (slots_.size() > 64) {
    text_.release();
    entries_.release();
    slots_.release();
    return;
  }
  text_.clear();
  entries_.clear();
  memset(slots_.data(), 0, slots_.size() * sizeof(uint32_t));
}

}  // namespace rfsim
