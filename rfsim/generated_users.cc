#include "rfsim/generated_users.h"

#include <string.h>

#include "server/user_info_record.h"
#include "server/user_list_element.h"
#include "util/bytes.h"
#include "util/decimal.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)generated_users.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

// clang-format off
const char* const kFirstNames[] = {
    "Amara",  "Bjorn",   "Carmen", "Dmitri", "Elena",  "Farid",  "Greta",
    "Hiroshi", "Ines",   "Jamal",  "Katja",  "Luis",   "Mei",    "Nikolai",
    "Olga",   "Pedro",   "Quinn",  "Rosa",   "Sanjay", "Tamsin", "Umar",
    "Vera",   "Wesley",  "Ximena", "Yusuf",  "Zofia",  "Aidan",  "Beatriz",
    "Colm",   "Dagny",   "Emeka",  "Fiona"};
const char* const kLastNames[] = {
    "Abernathy", "Bergstrom", "Castellano", "Delacroix", "Eriksen",
    "Fontaine",  "Gallagher", "Hashimoto",  "Ivanova",   "Jablonski",
    "Kowalczyk", "Lindqvist", "Mbeki",      "Nakamura",  "Okonkwo",
    "Papadakis", "Quintero",  "Rasmussen",  "Szabo",     "Thorsen",
    "Uribe",     "Valentini", "Whitfield",  "Xiang",     "Yilmaz",
    "Zielinski", "Achterberg", "Brannigan", "Van der Westhuizen-Okafor",
    "Dimitriou", "Esposito",  "Fairweather"};
// clang-format on
const char kMiddleInitials[] = "ABCDEFGHJKLMNPRSTW";

constexpr size_t kFirstCount = sizeof(kFirstNames) / sizeof(kFirstNames[0]);
constexpr size_t kLastCount = sizeof(kLastNames) / sizeof(kLastNames[0]);
constexpr size_t kInitialCount = sizeof(kMiddleInitials) - 1;

// splitmix64 of (seed, number): the source of every varied value.
uint64_t mix(uint32_t seed, uint32_t number) {
  uint64_t z =
      (static_cast<uint64_t>(seed) << 32 | number) + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

size_t append(char* out, size_t length, const char* text) {
  size_t n = strlen(text);
  memcpy(out + length, text, n);
  return length + n;
}

// "First Last" or "First M. Last"; at most 41 bytes.
size_t formatUserName(uint64_t hash, char* out) {
  size_t length = append(out, 0, kFirstNames[hash % kFirstCount]);
  out[length++] = ' ';
  if ((hash >> 20) % 4 == 0) {
    out[length++] = kMiddleInitials[(hash >> 24) % kInitialCount];
    length = append(out, length, ". ");
  }
  length = append(out, length, kLastNames[(hash >> 8) % kLastCount]);
  out[length] = 0;
  return length;
}

uint32_t groupOf(const GeneratePlan& plan, uint32_t number) {
  return (number - 1) % plan.groups + 1;
}

// A generated record is written straight into its fields, without the text
// round trip of a server file: the values below are the ones a server file
// would give, and every text fits its room (a name has at most 41 bytes).
void putText(const tarvek::FieldRow* row, const char* text, size_t length,
             unsigned char* record) {
  if (length > row->room - 1u) length = row->room - 1u;
  memcpy(record + row->offset, text, length);
}

template <tarvek::FieldType type>
void putNumber(const tarvek::FieldRow* row, uint64_t value,
               unsigned char* record) {
  static_assert(tarvek::fieldWidth(type) != 0, "a number field");
  unsigned char* field = record + row->offset;
  switch (tarvek::fieldWidth(type)) {
    case 1: field[0] = static_cast<unsigned char>(value); break;
    case 2: tarvek::writeU16(field, static_cast<uint16_t>(value)); break;
    default: tarvek::writeU32(field, static_cast<uint32_t>(value)); break;
  }
}

// `prefix` then `value` with exactly four digits (value below 10000).
size_t formatFourDigits(const char* prefix, uint32_t value, char* out) {
  size_t length = append(out, 0, prefix);
  return length + tarvek::formatDecimal(value, 4, out + length);
}

}  // namespace

size_t formatGeneratedUserId(uint32_t number, char* out) {
  size_t length = append(out, 0, "user");
  length += tarvek::formatDecimal(number, 7, out + length);
  out[length] = 0;
  return length;
}

size_t formatGeneratedGroupId(uint32_t group, char* out) {
  size_t length = append(out, 0, "group");
  length += tarvek::formatDecimal(group, 2, out + length);
  out[length] = 0;
  return length;
}

uint32_t generatedUserNumber(const char* id, size_t length, uint32_t count) {
  if (length < 11 || length > 14 || count == 0) return 0;
  if (foldCase(id, 4) != "user") return 0;
  uint64_t number = 0;
  for (size_t i = 4; i < length; ++i) {
    if (id[i] < '0' || id[i] > '9') return 0;
    number = number * 10 + static_cast<uint64_t>(id[i] - '0');
  }
  // Only the canonical spelling: seven digits, or more without a leading 0.
  if (length > 11 && id[4] == '0') return 0;
  if (number == 0 || number > count) return 0;
  return static_cast<uint32_t>(number);
}

void writeGeneratedElement(const GeneratePlan& plan, uint32_t number,
                           unsigned char* element) {
  memset(element, 0, tarvek::kElementSize);
  formatGeneratedUserId(
      number, reinterpret_cast<char*>(element + tarvek::kElementUserIdOffset));
  char name[kGeneratedTextRoom];
  size_t length = formatUserName(mix(plan.seed, number), name);
  if (length > tarvek::kElementUserNameRoom - 1)
    length = tarvek::kElementUserNameRoom - 1;
  memcpy(element + tarvek::kElementUserNameOffset, name, length);
  formatGeneratedGroupId(
      groupOf(plan, number),
      reinterpret_cast<char*>(element + tarvek::kElementGroupIdOffset));
}

void fillGeneratedRecord(const GeneratePlan& plan, uint32_t number,
                         unsigned char* record) {
  using tarvek::FieldType;
  using tarvek::findFieldByKey;
  constexpr const tarvek::FieldRow* kGroup = findFieldByKey("GroupID");
  constexpr const tarvek::FieldRow* kUser = findFieldByKey("UserID");
  constexpr const tarvek::FieldRow* kName = findFieldByKey("UserName");
  constexpr const tarvek::FieldRow* kFromName = findFieldByKey("StFromName");
  constexpr const tarvek::FieldRow* kOtherPbid = findFieldByKey("OtherPBID_1");
  constexpr const tarvek::FieldRow* kFaxes = findFieldByKey("NumFaxesOwned");
  constexpr const tarvek::FieldRow* kFlags = findFieldByKey("UserFlags");
  constexpr const tarvek::FieldRow* kDid = findFieldByKey("UserDID");
  constexpr const tarvek::FieldRow* kNotify = findFieldByKey("NotifyType");
  constexpr const tarvek::FieldRow* kStDid = findFieldByKey("StDID");
  constexpr const tarvek::FieldRow* kFromPhone = findFieldByKey("StFromPhone");
  constexpr const tarvek::FieldRow* kRoute = findFieldByKey("RouteType");
  constexpr const tarvek::FieldRow* kHighest =
      findFieldByKey("HighestPriority");
  constexpr const tarvek::FieldRow* kDefault =
      findFieldByKey("DefaultPriority");
  constexpr const tarvek::FieldRow* kSend = findFieldByKey("SendNotify");
  constexpr const tarvek::FieldRow* kReceive = findFieldByKey("ReceiveNotify");
  constexpr const tarvek::FieldRow* kTag = findFieldByKey("ChangeTag");
  constexpr const tarvek::FieldRow* kAcct = findFieldByKey("AucRpoAcctCode");
  constexpr const tarvek::FieldRow* kCopies = findFieldByKey("RpoCopies");
  constexpr const tarvek::FieldRow* kNwds = findFieldByKey("NwDsName");
  // A key missing from the table is a null row here, which no constant
  // expression may read: these checks then fail to compile.
  static_assert(
      kGroup->type == FieldType::Text && kUser->type == FieldType::Text &&
          kName->type == FieldType::Text &&
          kFromName->type == FieldType::Text &&
          kOtherPbid->type == FieldType::Text &&
          kStDid->type == FieldType::Text &&
          kFromPhone->type == FieldType::Text && kNwds->type == FieldType::Text,
      "text rows");
  static_assert(
      kFaxes->type == FieldType::U16 && kFlags->type == FieldType::Hex32 &&
          kDid->type == FieldType::U32 && kNotify->type == FieldType::U16 &&
          kRoute->type == FieldType::U8 && kHighest->type == FieldType::U8 &&
          kDefault->type == FieldType::U8 && kSend->type == FieldType::U16 &&
          kReceive->type == FieldType::U16 &&
          kTag->type == FieldType::ChangeTag &&
          kAcct->type == FieldType::AcctCode && kCopies->type == FieldType::U8,
      "number rows");

  memset(record, 0, tarvek::kUserInfoSize);
  uint64_t hash = mix(plan.seed, number);
  char id[kGeneratedTextRoom];
  char group[kGeneratedTextRoom];
  char name[kGeneratedTextRoom];
  size_t idLength = formatGeneratedUserId(number, id);
  size_t groupLength = formatGeneratedGroupId(groupOf(plan, number), group);
  size_t nameLength = formatUserName(hash, name);
  putText(kGroup, group, groupLength, record);
  putText(kUser, id, idLength, record);
  putText(kName, name, nameLength, record);
  putText(kFromName, name, nameLength, record);
  putText(kOtherPbid, group, groupLength, record);

  putNumber<FieldType::U16>(kFaxes, hash % 400, record);
  putNumber<FieldType::Hex32>(kFlags, (hash >> 16) & 0x0003F0F7UL, record);
  putNumber<FieldType::U32>(kDid, 2065550000UL + number % 10000000UL, record);
  putNumber<FieldType::U16>(kNotify, (hash >> 5) % 4, record);
  char value[2 * kGeneratedTextRoom + 64];
  putText(kStDid, value, formatFourDigits("206555", number % 10000, value),
          record);
  putText(kFromPhone, value,
          formatFourDigits("+1 206 555 ",
                           static_cast<uint32_t>((hash >> 9) % 10000), value),
          record);
  putNumber<FieldType::U8>(kRoute, (hash >> 13) % 3, record);
  putNumber<FieldType::U8>(kHighest, 3 + (hash >> 17) % 3, record);
  putNumber<FieldType::U8>(kDefault, 1 + (hash >> 19) % 3, record);
  putNumber<FieldType::U16>(kSend, (hash >> 21) % 2, record);
  putNumber<FieldType::U16>(kReceive, (hash >> 22) % 2, record);
  putNumber<FieldType::ChangeTag>(
      kTag, 1500000000UL + (hash >> 24) % 250000000UL, record);
  putNumber<FieldType::AcctCode>(kAcct, (hash >> 40) % 256, record);
  putNumber<FieldType::U8>(kCopies, 1 + (hash >> 48) % 2, record);
  size_t length = append(value, 0, "CN=");
  length = append(value, length, id);
  length = append(value, length, ".OU=");
  length = append(value, length, group);
  length = append(value, length, ".O=Generated");
  putText(kNwds, value, length, record);
}

}  // namespace rfsim
