#include "rfsim/server_file.h"

#include <errno.h>
#include <stdint.h>
#include <string.h>

#include <bitset>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "rfsim/checked_store.h"
#include "rfsim/generated_users.h"
#include "server/records.h"
#include "server/user_info_record.h"
#include "util/bytes.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)server_file.cc 1.1 2026/12/08")

namespace rfsim {

namespace {

using tarvek::FieldRow;
using tarvek::FieldType;

enum class NumberResult { Ok, Bad, Range };

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits only; a value above `max` is Range (once every character is known
// to be a digit).
NumberResult parseUnsigned(const char* p, size_t n, uint64_t max,
                           uint64_t* out) {
  if (n == 0) return NumberResult::Bad;
  uint64_t value = 0;
  bool over = false;
  for (size_t i = 0; i < n; ++i) {
    if (p[i] < '0' || p[i] > '9') return NumberResult::Bad;
    if (!over) {
      value = value * 10 + static_cast<uint64_t>(p[i] - '0');
      over = value > max;
    }
  }
  if (over) return NumberResult::Range;
  *out = value;
  return NumberResult::Ok;
}

// An optional '-' and digits, within [min, max].
NumberResult parseSigned(const char* p, size_t n, int64_t min, int64_t max,
                         int64_t* out) {
  bool negative = n > 0 && p[0] == '-';
  if (negative) {
    ++p;
    --n;
  }
  uint64_t magnitude = 0;
  uint64_t limit =
      negative ? static_cast<uint64_t>(-min) : static_cast<uint64_t>(max);
  NumberResult result = parseUnsigned(p, n, limit, &magnitude);
  if (result != NumberResult::Ok) return result;
  int64_t value = static_cast<int64_t>(magnitude);
  *out = negative ? -value : value;
  return NumberResult::Ok;
}

NumberResult parseHex(const char* p, size_t n, size_t maxDigits,
                      uint32_t* out) {
  if (n == 0) return NumberResult::Bad;
  uint32_t value = 0;
  for (size_t i = 0; i < n; ++i) {
    int digit = hexDigit(p[i]);
    if (digit < 0) return NumberResult::Bad;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  if (n > maxDigits) return NumberResult::Range;
  *out = value;
  return NumberResult::Ok;
}

// "XX XX XX": pairs of hex digits with one space between two pairs. All of
// the value is checked; `*count` is the number of pairs, the first `room` of
// which land in `out`.
bool parseHexBytes(const char* p, size_t n, unsigned char* out, size_t room,
                   size_t* count) {
  *count = 0;
  if (n == 0) return true;
  if ((n + 1) % 3 != 0) return false;
  for (size_t i = 0; i < n; i += 3) {
    int high = hexDigit(p[i]);
    int low = hexDigit(p[i + 1]);
    if (high < 0 || low < 0) return false;
    if (i + 2 < n && p[i + 2] != ' ') return false;
    if (*count < room)
      out[*count] = static_cast<unsigned char>(high * 16 + low);
    ++*count;
  }
  return true;
}

std::string numberPhrase(NumberResult result, const std::string& key) {
  return (result == NumberResult::Range ? "number out of range for "
                                        : "bad number for ") +
         key;
}

std::string tooLongPhrase(const std::string& key, size_t most) {
  return "text too long for " + key + " (at most " + std::to_string(most) +
         " bytes)";
}

class Parser {
 public:
  Parser(ServerModel* model, ParseError* error)
      : model_(model), error_(error) {}

  // Takes the next `length` bytes of the file. False at the first error.
  bool feed(const char* data, size_t length) {
    const char* p = data;
    const char* end = data + length;
    while (p < end) {
      const char* newline = static_cast<const char*>(
          memchr(p, '\n', static_cast<size_t>(end - p)));
      const char* segmentEnd = newline ? newline : end;
      size_t n = static_cast<size_t>(segmentEnd - p);
      if (lineLength_ == 0 && n > 0) comment_ = p[0] == ';' || p[0] == '#';
      lineLength_ += n;
      if (!comment_ && n > 0) {
        // The zero byte fails the line at once, however long it is.
        if (memchr(p, 0, n)) return failAt(line_ + 1, "zero byte in the line");
        // One byte more for a "\r" before the line end.
        if (lineLength_ > kMaxLineLength + 1) return lineTooLong(line_ + 1);
        if (!lineText_.append(p, n))
          return failAt(line_ + 1, kOutOfMemoryPhrase);
      }
      if (!newline) break;
      if (!endLine()) return false;
      p = newline + 1;
    }
    return true;
  }

  // After the last byte of the file.
  bool finish() {
    if (lineLength_ > 0 && !endLine()) return false;
    return finishUser() && checkGeneratedCollisions();
  }

  bool failAt(unsigned line, std::string what) {
    error_->line = line;
    error_->what = std::move(what);
    return false;
  }

 private:
  enum class Section { None, Server, Faults, Errors, List, Generate, User };

  bool fail(std::string what) { return failAt(line_, std::move(what)); }
  bool lineTooLong(unsigned line) {
    return failAt(
        line, "line longer than " + std::to_string(kMaxLineLength) + " bytes");
  }

  // Handles the line gathered so far; the next one starts.
  bool endLine() {
    ++line_;
    size_t n = lineText_.size();
    if (n > 0 && lineText_[n - 1] == '\r') --n;
    bool handled =
        comment_ || (n <= kMaxLineLength ? handleLine(lineText_.data(), n)
                                         : lineTooLong(line_));
    lineLength_ = 0;
    comment_ = false;
    lineText_.clear();
    return handled;
  }

  bool handleLine(const char* p, size_t n) {
    if (n == 0) return true;
    if (p[0] == '[') {
      if (n < 2 || p[n - 1] != ']')
        return fail("section line without closing ']'");
      return startSection(std::string(p + 1, n - 2));
    }
    const char* equals = static_cast<const char*>(memchr(p, '=', n));
    if (!equals) return fail("line without '='");
    std::string key(p, static_cast<size_t>(equals - p));
    const char* value = equals + 1;
    size_t valueLength = n - key.size() - 1;
    switch (section_) {
      case Section::None: return fail("key " + key + " before any section");
      case Section::List: return true;
      case Section::User: return userKey(key, value, valueLength);
      case Section::Server:
        return newKey(key) && serverKey(key, value, valueLength);
      case Section::Faults:
        return newKey(key) && faultsKey(key, value, valueLength);
      case Section::Generate:
        return newKey(key) && generateKey(key, value, valueLength);
      case Section::Errors: return errorsKey(key, value, valueLength);
    }
    return true;
  }

  // Opens a named section at most once (when `once` is given).
  bool enter(Section section, bool* once, const std::string& name) {
    if (once) {
      if (*once) return fail("duplicate section [" + name + "]");
      *once = true;
    }
    section_ = section;
    return true;
  }

  bool startSection(const std::string& name) {
    if (!finishUser()) return false;
    sectionKeys_.clear();
    if (name == "Server") return enter(Section::Server, &seenServer_, name);
    if (name == "Faults") return enter(Section::Faults, &seenFaults_, name);
    if (name == "Generate")
      return enter(Section::Generate, &seenGenerate_, name);
    if (name == "Errors") return enter(Section::Errors, nullptr, name);
    if (name == "List") return enter(Section::List, nullptr, name);
    size_t slash = name.find('\\');
    if (slash == std::string::npos)
      return fail("unknown section [" + name + "]");
    section_ = Section::User;
    userLine_ = line_;
    sectionGroup_ = name.substr(0, slash);
    sectionUser_ = name.substr(slash + 1);
    return true;
  }

  bool newKey(const std::string& key) {
    if (!sectionKeys_.insert(key).second) return fail("duplicate key " + key);
    return true;
  }

  bool readUnsigned(const std::string& key, const char* v, size_t n,
                    uint64_t max, uint64_t* out) {
    NumberResult result = parseUnsigned(v, n, max, out);
    return result == NumberResult::Ok || fail(numberPhrase(result, key));
  }

  bool readSigned(const std::string& key, const char* v, size_t n, int64_t min,
                  int64_t max, int64_t* out) {
    NumberResult result = parseSigned(v, n, min, max, out);
    return result == NumberResult::Ok || fail(numberPhrase(result, key));
  }

  bool readI32(const std::string& key, const char* v, size_t n, int32_t* out) {
    int64_t value = 0;
    if (!readSigned(key, v, n, INT32_MIN, INT32_MAX, &value)) return false;
    *out = static_cast<int32_t>(value);
    return true;
  }

  bool readU32(const std::string& key, const char* v, size_t n, uint64_t max,
               uint32_t* out) {
    uint64_t value = 0;
    if (!readUnsigned(key, v, n, max, &value)) return false;
    *out = static_cast<uint32_t>(value);
    return true;
  }

  bool serverKey(const std::string& key, const char* v, size_t n) {
    if (key == "Name") {
      if (n > tarvek::kServerNameRoom - 1)
        return fail(tooLongPhrase(key, tarvek::kServerNameRoom - 1));
      model_->hasName = true;
      model_->name.assign(v, n);
      return true;
    }
    if (key == "Release") {
      const char* dot = static_cast<const char*>(memchr(v, '.', n));
      if (!dot) return fail("bad number for Release (MAJOR.MINOR)");
      size_t majorLength = static_cast<size_t>(dot - v);
      return readU32(key, v, majorLength, UINT32_MAX, &model_->releaseMajor) &&
             readU32(key, dot + 1, n - majorLength - 1, UINT32_MAX,
                     &model_->releaseMinor);
    }
    if (key == "ZoneState") {
      int64_t value = 0;
      if (!readSigned(key, v, n, INT16_MIN, INT16_MAX, &value)) return false;
      model_->zoneState = static_cast<int16_t>(value);
      return true;
    }
    if (key == "Bias") return readI32(key, v, n, &model_->bias);
    if (key == "StandardBias") return readI32(key, v, n, &model_->standardBias);
    if (key == "DaylightBias") return readI32(key, v, n, &model_->daylightBias);
    if (key == "Latency")
      return readU32(key, v, n, kMaxLatency, &model_->latency);
    return fail("unknown key " + key);
  }

  bool faultsKey(const std::string& key, const char* v, size_t n) {
    Faults& faults = model_->faults;
    if (key == "ConnectFailures") {
      if (n == 3 && memcmp(v, "all", 3) == 0) {
        faults.connectAlwaysFails = true;
        return true;
      }
      return readU32(key, v, n, UINT32_MAX, &faults.connectFailures);
    }
    if (key == "ConnectError") {
      if (!readI32(key, v, n, &faults.connectError)) return false;
      return faults.connectError != 0 || fail("ConnectError must not be 0");
    }
    if (key == "ServerInfoError")
      return readI32(key, v, n, &faults.serverInfoError);
    if (key == "UserListError")
      return readI32(key, v, n, &faults.userListError);
    if (key == "SortError") return readI32(key, v, n, &faults.sortError);
    if (key == "LoadUserFails") {
      if (n == 1 && v[0] == '*') {
        faults.loadAlwaysFails = true;
        return true;
      }
      size_t start = 0;
      for (size_t i = 0; i <= n; ++i) {
        if (i < n && v[i] != ',') continue;
        if (i == start) return fail("empty user ID in LoadUserFails");
        bool added = false;
        if (!faults.loadFails.insert(v + start, i - start, nullptr, 0, 0,
                                     &added))
          return fail(kOutOfMemoryPhrase);
        start = i + 1;
      }
      return true;
    }
    if (key == "ListEndsAfter") {
      faults.listEnds = true;
      return readU32(key, v, n, UINT32_MAX, &faults.listEndsAfter);
    }
    return fail("unknown key " + key);
  }

  bool errorsKey(const std::string& key, const char* v, size_t n) {
    int64_t code = 0;
    NumberResult result =
        parseSigned(key.data(), key.size(), INT32_MIN, INT32_MAX, &code);
    if (result != NumberResult::Ok)
      return fail(result == NumberResult::Range
                      ? "error code out of range " + key
                      : "bad error code " + key);
    unsigned char codeBytes[4];
    tarvek::writeU32(codeBytes, static_cast<uint32_t>(code));
    bool added = false;
    if (!model_->errorTexts.insert(reinterpret_cast<const char*>(codeBytes),
                                   sizeof codeBytes, v, n, 0, &added))
      return fail(kOutOfMemoryPhrase);
    return added || fail("duplicate key " + key);
  }

  bool generateKey(const std::string& key, const char* v, size_t n) {
    GeneratePlan& plan = model_->generate;
    if (key == "Users")
      return readU32(key, v, n, kMaxGeneratedUsers, &plan.users);
    if (key == "Groups") {
      if (!readU32(key, v, n, kMaxGeneratedUsers, &plan.groups)) return false;
      return plan.groups != 0 || fail(numberPhrase(NumberResult::Range, key));
    }
    if (key == "Seed") return readU32(key, v, n, UINT32_MAX, &plan.seed);
    return fail("unknown key " + key);
  }

  bool userKey(const std::string& key, const char* v, size_t n) {
    static const char kBytes[] = "Bytes@";
    constexpr size_t kBytesLength = sizeof(kBytes) - 1;
    if (key.compare(0, kBytesLength, kBytes) == 0) {
      bool added = false;
      if (!bytesKeys_.insert(key.data(), key.size(), nullptr, 0, 0, &added))
        return fail(kOutOfMemoryPhrase);
      if (!added) return fail("duplicate key " + key);
      uint64_t offset = 0;
      if (!readUnsigned(key, key.data() + kBytesLength,
                        key.size() - kBytesLength, tarvek::kUserInfoSize - 1,
                        &offset))
        return false;
      unsigned char bytes[tarvek::kUserInfoSize];
      size_t count = 0;
      if (!parseHexBytes(v, n, bytes, sizeof bytes, &count))
        return fail("bad hex bytes for " + key);
      if (offset + count > tarvek::kUserInfoSize)
        return fail("bytes past offset 1901 in " + key);
      if (count == 0) return true;
      unsigned char head[5] = {kPatchMark};
      tarvek::writeU16(head + 1, static_cast<uint16_t>(offset));
      tarvek::writeU16(head + 3, static_cast<uint16_t>(count));
      return (patches_.append(head, sizeof head) &&
              patches_.append(bytes, count)) ||
             fail(kOutOfMemoryPhrase);
    }
    const FieldRow* row = findUserField(key.data(), key.size());
    if (!row) return fail("unknown key " + key);
    size_t index = static_cast<size_t>(row - tarvek::kUserInfoFields);
    if (rowsSeen_[index]) return fail("duplicate key " + key);
    rowsSeen_.set(index);
    std::string what;
    return setUserField(*row, v, n, record_, &what) || fail(what);
  }

  // Ends the current user section: IDs from the section name where no key
  // gave them, the duplicate check, and the user stored with only the
  // fields its section set (server_model.h).
  bool finishUser() {
    if (section_ != Section::User) return true;
    section_ = Section::None;
    using tarvek::kUserInfoFields;
    const size_t defaults[] = {tarvek::kGroupIdRow, tarvek::kUserIdRow};
    const std::string* halves[] = {&sectionGroup_, &sectionUser_};
    for (size_t i = 0; i < 2; ++i) {
      const FieldRow& row = kUserInfoFields[defaults[i]];
      std::string what;
      if (!rowsSeen_[defaults[i]] &&
          !setUserField(row, halves[i]->data(), halves[i]->size(), record_,
                        &what))
        return failAt(userLine_, what + " (section name)");
      rowsSeen_.set(defaults[i]);
    }
    payload_.clear();
    bool stored = true;
    for (size_t r = 0; r < tarvek::kUserInfoFieldCount; ++r) {
      if (!rowsSeen_[r] || r == tarvek::kUserIdRow) continue;
      const FieldRow& row = kUserInfoFields[r];
      size_t length = row.room;
      while (length > 0 && record_[row.offset + length - 1] == 0) --length;
      if (length == 0) continue;
      unsigned char head[3] = {static_cast<unsigned char>(r)};
      tarvek::writeU16(head + 1, static_cast<uint16_t>(length));
      stored = stored && payload_.append(head, sizeof head) &&
               payload_.append(record_ + row.offset, length);
    }
    stored = stored && payload_.append(patches_.data(), patches_.size());
    const FieldRow& idRow = kUserInfoFields[tarvek::kUserIdRow];
    const char* id = reinterpret_cast<const char*>(record_) + idRow.offset;
    size_t idLength = tarvek::boundedLength(id, idRow.room);
    bool added = false;
    stored = stored && model_->users.insert(id, idLength, payload_.data(),
                                            payload_.size(), userLine_, &added);
    if (stored && !added)
      return failAt(userLine_,
                    "duplicate user ID " + std::string(id, idLength));
    // The next user starts from a zero record.
    for (size_t r = 0; r < tarvek::kUserInfoFieldCount; ++r) {
      if (rowsSeen_[r])
        memset(record_ + kUserInfoFields[r].offset, 0, kUserInfoFields[r].room);
    }
    rowsSeen_.reset();
    patches_.clear();
    bytesKeys_.clear();
    return stored || failAt(userLine_, kOutOfMemoryPhrase);
  }

  bool checkGeneratedCollisions() {
    if (model_->generate.users == 0) return true;
    const TextIndex& users = model_->users;
    for (size_t i = 0; i < users.size(); ++i) {
      const TextIndex::Entry& user = users.entry(i);
      const char* id = users.keyOf(user);
      if (generatedUserNumber(id, user.keyLength, model_->generate.users) != 0)
        return failAt(user.value, "duplicate user ID " +
                                      std::string(id, user.keyLength) +
                                      " (a generated user)");
    }
    return true;
  }

  ServerModel* model_;
  ParseError* error_;
  unsigned line_ = 0;
  Section section_ = Section::None;
  bool seenServer_ = false;
  bool seenFaults_ = false;
  bool seenGenerate_ = false;
  std::set<std::string> sectionKeys_;  // keys of this section (not rows)
  // The user section being read: its record, Bytes@ keys and patches.
  unsigned char record_[tarvek::kUserInfoSize] = {};
  TextIndex bytesKeys_;
  CheckedArray<unsigned char> patches_;
  CheckedArray<unsigned char> payload_;  // the stored form, built at its end
  unsigned userLine_ = 0;
  std::string sectionGroup_;
  std::string sectionUser_;
  std::bitset<tarvek::kUserInfoFieldCount> rowsSeen_;
  // The line being read.
  CheckedArray<char> lineText_;  // without its comment or past-limit bytes
  size_t lineLength_ = 0;        // bytes of it seen
  bool comment_ = false;
};

}  // namespace

const FieldRow* findUserField(const char* key, size_t length) {
  static const std::unordered_map<std::string_view, const FieldRow*> index =
      [] {
        std::unordered_map<std::string_view, const FieldRow*> rows;
        for (const FieldRow& row : tarvek::kUserInfoFields)
          rows[row.key] = &row;
        return rows;
      }();
  auto found = index.find(std::string_view(key, length));
  return found == index.end() ? nullptr : found->second;
}

bool setUserField(const FieldRow& row, const char* value, size_t length,
                  unsigned char* record, std::string* what) {
  const std::string key = row.key;
  unsigned char* field = record + row.offset;
  uint64_t u = 0;
  int64_t s = 0;
  uint32_t hex = 0;
  NumberResult result = NumberResult::Ok;
  switch (row.type) {
    case FieldType::Text:
      if (length > row.room - 1u) {
        *what = tooLongPhrase(key, row.room - 1u);
        return false;
      }
      memset(field, 0, row.room);
      memcpy(field, value, length);
      return true;
    case FieldType::U8:
    case FieldType::AcctCode:
      result = parseUnsigned(value, length, UINT8_MAX, &u);
      if (result == NumberResult::Ok) {
        memset(field, 0, row.room);
        field[0] = static_cast<unsigned char>(u);
      }
      break;
    case FieldType::U16:
      result = parseUnsigned(value, length, UINT16_MAX, &u);
      if (result == NumberResult::Ok)
        tarvek::writeU16(field, static_cast<uint16_t>(u));
      break;
    case FieldType::I16:
      result = parseSigned(value, length, INT16_MIN, INT16_MAX, &s);
      if (result == NumberResult::Ok)
        tarvek::writeU16(field, static_cast<uint16_t>(s));
      break;
    case FieldType::Hex16:
    case FieldType::Hex32:
      result = parseHex(value, length, row.room * 2u, &hex);
      if (result == NumberResult::Ok) {
        if (row.room == 2)
          tarvek::writeU16(field, static_cast<uint16_t>(hex));
        else
          tarvek::writeU32(field, hex);
      }
      break;
    case FieldType::ChangeTag: {
      const void* comma = memchr(value, ',', length);
      if (comma)
        length = static_cast<size_t>(static_cast<const char*>(comma) - value);
    }
      [[fallthrough]];
    case FieldType::U32:
      result = parseUnsigned(value, length, UINT32_MAX, &u);
      if (result == NumberResult::Ok)
        tarvek::writeU32(field, static_cast<uint32_t>(u));
      break;
    case FieldType::Sid: {
      unsigned char bytes[tarvek::kUserInfoSize];
      size_t count = 0;
      if (!parseHexBytes(value, length, bytes, sizeof bytes, &count)) {
        *what = "bad hex bytes for " + key;
        return false;
      }
      if (count > row.room - 1u) {
        *what = "too many bytes for " + key + " (at most " +
                std::to_string(row.room - 1u) + ")";
        return false;
      }
      for (size_t i = 0; i < count; ++i) {
        if (bytes[i] == 0) {
          *what = "byte 00 in " + key;
          return false;
        }
      }
      memset(field, 0, row.room);
      if (count != 0) memcpy(field, bytes, count);
      return true;
    }
  }
  if (result != NumberResult::Ok) {
    *what = numberPhrase(result, key);
    return false;
  }
  return true;
}

bool parseDecimalI32(const char* text, size_t length, int32_t* out) {
  int64_t value = 0;
  if (parseSigned(text, length, INT32_MIN, INT32_MAX, &value) !=
      NumberResult::Ok)
    return false;
  *out = static_cast<int32_t>(value);
  return true;
}

bool parseServerFile(const char* text, size_t length, ServerModel* model,
                     ParseError* error) {
  Parser parser(model, error);
  return parser.feed(text, length) && parser.finish();
}

bool parseServerStream(FILE* file, ServerModel* model, ParseError* error) {
  Parser parser(model, error);
  char chunk[64 * 1024];
  uint64_t total = 0;
  size_t n = 0;
  while ((n = fread(chunk, 1, sizeof chunk, file)) > 0) {
    total += n;
    if (total > kMaxServerFileSize)
      return parser.failAt(0, kFileTooLargePhrase);
    if (!parser.feed(chunk, n)) return false;
  }
  if (ferror(file)) {
    int number = errno;
    return parser.failAt(0, readFailure(number));
  }
  return parser.finish();
}

std::string readFailure(int number) {
  return std::string("can't read the file: ") +
         (number != 0 ? strerror(number) : "read error");
}

}  // namespace rfsim
