// UserListElement: one element of the client library's user list, read in
// place. 82 bytes as rfsim builds it:
//
//   offset  room   content
//   ------  -----  -----------------------------------------------------
//        0     4   (the library's)
//        4    22   user ID, zero-terminated
//       26    34   user name, zero-terminated (cut to 33 bytes)
//       60    22   group ID, zero-terminated (room is the library's)
//
// Its three texts are read no further than their rooms; the two sort orders
// of the list compare them in place.
#ifndef TARVEK_SERVER_USER_LIST_ELEMENT_H_
#define TARVEK_SERVER_USER_LIST_ELEMENT_H_

#include <stddef.h>
#include <string.h>

#include "util/bytes.h"

namespace tarvek {

constexpr size_t kElementUserIdOffset = 4;
constexpr size_t kElementUserIdRoom = 22;
constexpr size_t kElementUserNameOffset = 26;
constexpr size_t kElementUserNameRoom = 34;
constexpr size_t kElementGroupIdOffset = 60;
// The group ID's room is the library's; it is read no further than the
// room a group ID has in the user information record.
constexpr size_t kElementGroupIdRoom = 22;
constexpr size_t kElementSize = 82;

static_assert(kElementUserIdOffset + kElementUserIdRoom ==
                  kElementUserNameOffset,
              "user ID room");
static_assert(kElementUserNameOffset + kElementUserNameRoom ==
                  kElementGroupIdOffset,
              "user name room");
static_assert(kElementGroupIdOffset + kElementGroupIdRoom == kElementSize,
              "element size");

/// The three texts of an element, each as its bytes before the first zero
/// byte or the end of its room.
struct ElementTexts {
  const char* userId;
  size_t userIdLength;
  const char* userName;
  size_t userNameLength;
  const char* groupId;
  size_t groupIdLength;
};

inline ElementTexts readElementTexts(const unsigned char* element) {
  const char* base = reinterpret_cast<const char*>(element);
  ElementTexts texts;
  texts.userId = base + kElementUserIdOffset;
  texts.userIdLength = boundedLength(texts.userId, kElementUserIdRoom);
  texts.userName = base + kElementUserNameOffset;
  texts.userNameLength = boundedLength(texts.userName, kElementUserNameRoom);
  texts.groupId = base + kElementGroupIdOffset;
  texts.groupIdLength = boundedLength(texts.groupId, kElementGroupIdRoom);
  return texts;
}

/// A zero-terminated copy of an element text that may fill its room.
template <size_t Room>
struct TerminatedText {
  char text[Room + 1];
};

template <size_t Room>
TerminatedText<Room> terminated(const char* text, size_t length) {
  TerminatedText<Room> copy;
  memcpy(copy.text, text, length);
  copy.text[length] = '\0';
  return copy;
}

/// Comparators for the client library's list sort; each takes two pointers
/// to elements and compares their IDs byte by byte after folding A-Z to a-z,
/// as unsigned bytes: negative, zero or positive.
int compareByUserId(const void* a, const void* b);
int compareByGroupThenUserId(const void* a, const void* b);

}  // namespace tarvek

#endif  // TARVEK_SERVER_USER_LIST_ELEMENT_H_
