// Both report writers on arbitrary 1902-byte records (shorter inputs are
// padded with zero bytes). When no text of the record holds a line break,
// '"' or ',', the long section must have 69 lines, the first naming the
// group and user, then one "KEY=" line per field in table order and an
// empty line; and the CSV row must have 67 cells, texts and the security
// ID quoted, ending in one line end.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "fuzz/fuzz_target.h"
#include "reports/long_report.h"
#include "server/user_info_record.h"
#include "util/bytes.h"
#include "util/text_buffer.h"

namespace {

using tarvek::FieldRow;
using tarvek::FieldType;
using tarvek::kUserInfoFields;

void require(bool condition) {
  if (!condition) abort();
}

bool textsAreSimple(const unsigned char* record) {
  for (const FieldRow& row : kUserInfoFields) {
    if (row.type != FieldType::Text) continue;
    const unsigned char* text = record + row.offset;
    size_t length = tarvek::boundedLength(text, row.room);
    for (size_t i = 0; i < length; ++i) {
      if (text[i] == '\n' || text[i] == '"' || text[i] == ',') return false;
    }
  }
  return true;
}

void checkLongSection(const std::string& section) {
  size_t lines = 0;
  for (char c : section) lines += c == '\n';
  require(lines == 69);
  require(section[0] == '[');
  require(section.size() >= 2 &&
          section.compare(section.size() - 2, 2, "\n\n") == 0);
  size_t at = section.find('\n') + 1;
  for (const FieldRow& row : kUserInfoFields) {
    std::string key = std::string(row.key) + "=";
    require(section.compare(at, key.size(), key) == 0);
    at = section.find('\n', at) + 1;
  }
}

void checkCsvRow(const std::string& row) {
  require(!row.empty() && row.back() == '\n');
  require(row.find('\n') == row.size() - 1);
  size_t start = 0;
  size_t cells = 0;
  for (size_t i = 0; i <= row.size() - 1; ++i) {
    if (i < row.size() - 1 && row[i] != ',') continue;
    require(cells < tarvek::kUserInfoFieldCount);
    const FieldRow& field = kUserInfoFields[cells];
    bool quoted = field.type == FieldType::Text || field.type == FieldType::Sid;
    size_t length = i - start;
    require(quoted == (length >= 2 && row[start] == '"' && row[i - 1] == '"'));
    ++cells;
    start = i + 1;
  }
  require(cells == tarvek::kUserInfoFieldCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  unsigned char record[tarvek::kUserInfoSize] = {};
  memcpy(record, data, size < sizeof record ? size : sizeof record);

  tarvek::TextBuffer section;
  tarvek::renderLongSection(record, &section);
  tarvek::TextBuffer row;
  tarvek::renderCsvRow(record, &row);
  if (textsAreSimple(record)) {
    checkLongSection(std::string(section.data(), section.size()));
    checkCsvRow(std::string(row.data(), row.size()));
  }

  // The writers themselves, head and record, on a stream that takes all.
  static FILE* sink = fopen("/dev/null", "w");
  tarvek::TextBuffer scratch;
  int64_t now = static_cast<int64_t>(tarvek::readU32(record)) << 1;
  tarvek::writeLongHead(sink, "host", now, &scratch);
  tarvek::writeLongSection(sink, record, &scratch);
  tarvek::writeCsvHead(sink, "host", now, &scratch);
  tarvek::writeCsvRow(sink, record, &scratch);
  return 0;
}
