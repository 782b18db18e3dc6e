#include "rfsim/server_model.h"

#include <string.h>

#include "rfsim/generated_users.h"
#include "server/user_info_record.h"
#include "server/user_list_element.h"
#include "util/ascii.h"
#include "util/bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)server_model.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

// Copies `length` bytes of a field's text (its bytes up to the last
// non-zero one) into an element's room: up to the first zero byte, cut to
// room - 1 bytes and terminated.
void copyElementText(const char* text, size_t length, unsigned char* out,
                     size_t room) {
  length = tarvek::boundedLength(text, length);
  if (length > room - 1) length = room - 1;
  if (length != 0) memcpy(out, text, length);
  out[length] = 0;
}

}  // namespace

std::string foldCase(const char* text, size_t length) {
  std::string folded(text, length);
  for (char& c : folded) c = tarvek::foldLetter(c);
  return folded;
}

bool ServerModel::releaseAtLeast(uint32_t major, uint32_t minor) const {
  return releaseMajor != major ? releaseMajor > major : releaseMinor >= minor;
}

bool ServerModel::loadFails(const char* id) const {
  if (faults.loadAlwaysFails) return true;
  if (faults.loadFails.empty()) return false;
  return faults.loadFails.find(id, strlen(id)) != nullptr;
}

void buildListedRecord(const char* id, size_t idLength,
                       const unsigned char* payload, size_t length,
                       unsigned char* record) {
  using tarvek::kUserInfoFields;
  memset(record, 0, tarvek::kUserInfoSize);
  if (idLength != 0)
    memcpy(record + kUserInfoFields[tarvek::kUserIdRow].offset, id, idLength);
  size_t at = 0;
  while (at < length) {
    if (payload[at] == kPatchMark) {
      uint16_t offset = tarvek::readU16(payload + at + 1);
      uint16_t n = tarvek::readU16(payload + at + 3);
      memcpy(record + offset, payload + at + 5, n);
      at += 5u + n;
    } else {
      const tarvek::FieldRow& row = kUserInfoFields[payload[at]];
      uint16_t n = tarvek::readU16(payload + at + 1);
      memcpy(record + row.offset, payload + at + 3, n);
      at += 3u + n;
    }
  }
}

bool ServerModel::loadUser(const char* id, unsigned char* record) const {
  size_t length = strlen(id);
  const TextIndex::Entry* found = users.find(id, length);
  if (found != nullptr) {
    buildListedRecord(users.keyOf(*found), found->keyLength,
                      users.payloadOf(*found), found->payloadLength, record);
    return true;
  }
  uint32_t number = generatedUserNumber(id, length, generate.users);
  if (number == 0) return false;
  fillGeneratedRecord(generate, number, record);
  return true;
}

void ServerModel::writeElements(unsigned char* out) const {
  using tarvek::kUserInfoFields;
  for (size_t i = 0; i < users.size(); ++i) {
    const TextIndex::Entry& user = users.entry(i);
    memset(out, 0, tarvek::kElementSize);
    copyElementText(users.keyOf(user), user.keyLength,
                    out + tarvek::kElementUserIdOffset,
                    tarvek::kElementUserIdRoom);
    // The group and the name, when set, are the payload's first fields.
    const unsigned char* payload = users.payloadOf(user);
    size_t at = 0;
    while (at < user.payloadLength && payload[at] <= tarvek::kUserNameRow) {
      size_t n = tarvek::readU16(payload + at + 1);
      const char* text = reinterpret_cast<const char*>(payload + at + 3);
      if (payload[at] == tarvek::kGroupIdRow)
        copyElementText(text, n, out + tarvek::kElementGroupIdOffset,
                        tarvek::kElementGroupIdRoom);
      else if (payload[at] == tarvek::kUserNameRow)
        copyElementText(text, n, out + tarvek::kElementUserNameOffset,
                        tarvek::kElementUserNameRoom);
      at += 3 + n;
    }
    out += tarvek::kElementSize;
  }
  for (uint32_t number = 1; number <= generate.users; ++number) {
    writeGeneratedElement(generate, number, out);
    out += tarvek::kElementSize;
  }
}

}  // namespace rfsim
