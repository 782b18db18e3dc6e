#include "rfsim/generated_users.h"

#include <stdio.h>
#include <string.h>

#include "reports/user_info_record.h"
#include "rfsim/server_file.h"
#include "server/records.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)generated_users.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

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
const char kMiddleInitials[] = "ABCDEFGHJKLMNPRSTW";

constexpr size_t kFirstCount = sizeof(kFirstNames) / sizeof(kFirstNames[0]);
constexpr size_t kLastCount = sizeof(kLastNames) / sizeof(kLastNames[0]);
constexpr size_t kInitialCount = sizeof(kMiddleInitials) - 1;

// splitmix64 of (seed, number): the source of every varied value.
uint64_t mix(uint32_t seed, uint32_t number) {
  uint64_t z = (static_cast<uint64_t>(seed) << 32 | number) +
               0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Writes `value` with at least `width` digits; returns the length.
size_t formatNumber(uint32_t value, size_t width, char* out) {
  char digits[10];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  size_t length = 0;
  for (size_t i = count; i < width; ++i) out[length++] = '0';
  while (count > 0) out[length++] = digits[--count];
  return length;
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

void setField(const char* key, const char* value, unsigned char* record) {
  const tarvek::FieldRow* row = findUserField(key, strlen(key));
  std::string what;
  if (row) setUserField(*row, value, strlen(value), record, &what);
}

}  // namespace

size_t formatGeneratedUserId(uint32_t number, char* out) {
  size_t length = append(out, 0, "user");
  length += formatNumber(number, 7, out + length);
  out[length] = 0;
  return length;
}

size_t formatGeneratedGroupId(uint32_t group, char* out) {
  size_t length = append(out, 0, "group");
  length += formatNumber(group, 2, out + length);
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
  memset(record, 0, tarvek::kUserInfoSize);
  uint64_t hash = mix(plan.seed, number);
  char id[kGeneratedTextRoom];
  char group[kGeneratedTextRoom];
  char name[kGeneratedTextRoom];
  formatGeneratedUserId(number, id);
  formatGeneratedGroupId(groupOf(plan, number), group);
  formatUserName(hash, name);
  setField("GroupID", group, record);
  setField("UserID", id, record);
  setField("UserName", name, record);
  setField("StFromName", name, record);
  setField("OtherPBID_1", group, record);

  char value[2 * kGeneratedTextRoom + 64];
  auto put = [&](const char* key, const char* format, unsigned long v) {
    snprintf(value, sizeof(value), format, v);
    setField(key, value, record);
  };
  put("NumFaxesOwned", "%lu", static_cast<unsigned long>(hash % 400));
  put("UserFlags", "%08lX",
      static_cast<unsigned long>((hash >> 16) & 0x0003F0F7UL));
  put("UserDID", "%lu", 2065550000UL + number % 10000000UL);
  put("NotifyType", "%lu", static_cast<unsigned long>((hash >> 5) % 4));
  put("StDID", "206555%04lu", static_cast<unsigned long>(number % 10000));
  put("StFromPhone", "+1 206 555 %04lu",
      static_cast<unsigned long>((hash >> 9) % 10000));
  put("RouteType", "%lu", static_cast<unsigned long>((hash >> 13) % 3));
  put("HighestPriority", "%lu", static_cast<unsigned long>(3 + (hash >> 17) % 3));
  put("DefaultPriority", "%lu", static_cast<unsigned long>(1 + (hash >> 19) % 3));
  put("SendNotify", "%lu", static_cast<unsigned long>((hash >> 21) % 2));
  put("ReceiveNotify", "%lu", static_cast<unsigned long>((hash >> 22) % 2));
  put("ChangeTag", "%lu",
      static_cast<unsigned long>(1500000000UL + (hash >> 24) % 250000000UL));
  put("AucRpoAcctCode", "%lu", static_cast<unsigned long>((hash >> 40) % 256));
  put("RpoCopies", "%lu", static_cast<unsigned long>(1 + (hash >> 48) % 2));
  snprintf(value, sizeof(value), "CN=%s.OU=%s.O=Generated", id, group);
  setField("NwDsName", value, record);
}

}  // namespace rfsim
