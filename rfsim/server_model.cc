#include "rfsim/server_model.h"

#include <string.h>

#include "server/user_info_record.h"
#include "rfsim/generated_users.h"
#include "server/user_list_element.h"
#include "util/ascii.h"
#include "util/bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)server_model.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

// Copies the zero-terminated text of `record` at `row` into the element's
// room, cut to room - 1 bytes and terminated.
void copyElementText(const unsigned char* record, const tarvek::FieldRow& row,
                     unsigned char* out, size_t room) {
  size_t length = tarvek::boundedLength(record + row.offset, row.room);
  if (length > room - 1) length = room - 1;
  memcpy(out, record + row.offset, length);
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
  return faults.loadFails.count(foldCase(id, strlen(id))) != 0;
}

bool ServerModel::loadUser(const char* id, unsigned char* record) const {
  size_t length = strlen(id);
  auto found = userIndex.find(foldCase(id, length));
  if (found != userIndex.end()) {
    const ListedUser& user = users[found->second];
    memcpy(record, user.record.data(), tarvek::kUserInfoSize);
    for (const BytePatch& patch : user.patches) {
      if (!patch.bytes.empty())  // an empty vector's data() may be null
        memcpy(record + patch.offset, patch.bytes.data(), patch.bytes.size());
    }
    return true;
  }
  uint32_t number = generatedUserNumber(id, length, generate.users);
  if (number == 0) return false;
  fillGeneratedRecord(generate, number, record);
  return true;
}

void ServerModel::writeElements(unsigned char* out) const {
  using tarvek::kUserInfoFields;
  for (const ListedUser& user : users) {
    const unsigned char* record = user.record.data();
    memset(out, 0, tarvek::kElementSize);
    copyElementText(record, kUserInfoFields[tarvek::kUserIdRow],
                    out + tarvek::kElementUserIdOffset,
                    tarvek::kElementUserIdRoom);
    copyElementText(record, kUserInfoFields[tarvek::kUserNameRow],
                    out + tarvek::kElementUserNameOffset,
                    tarvek::kElementUserNameRoom);
    copyElementText(record, kUserInfoFields[tarvek::kGroupIdRow],
                    out + tarvek::kElementGroupIdOffset,
                    tarvek::kElementGroupIdRoom);
    out += tarvek::kElementSize;
  }
  for (uint32_t number = 1; number <= generate.users; ++number) {
    writeGeneratedElement(generate, number, out);
    out += tarvek::kElementSize;
  }
}

}  // namespace rfsim
