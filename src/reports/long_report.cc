#include "reports/long_report.h"

#include "server/user_info_record.h"
#include "util/bytes.h"
#include "util/ident.h"
#include "util/utc_time.h"

TARVEK_IDENT("@(#)long_report.cc 1.1 2026/12/08")

namespace tarvek {

namespace {

void appendText(const unsigned char* record, const FieldRow& row,
                TextBuffer* text) {
  const char* start = reinterpret_cast<const char*>(record) + row.offset;
  text->append(start, boundedLength(start, row.room));
}

// Every byte up to the first zero byte or the end of the record, as hex
// pairs separated by single spaces.
void appendSid(const unsigned char* record, const FieldRow& row,
               TextBuffer* text) {
  const unsigned char* sid = record + row.offset;
  size_t length = boundedLength(sid, row.room);
  for (size_t i = 0; i < length; ++i) {
    if (i != 0) text->append(' ');
    text->appendHex(sid[i], 2);
  }
}

// The value of a number, text or byte-string row, as both reports show it.
void appendValue(const unsigned char* record, const FieldRow& row,
                 TextBuffer* text) {
  const unsigned char* field = record + row.offset;
  switch (row.type) {
    case FieldType::Text: appendText(record, row, text); break;
    case FieldType::U8:
    case FieldType::AcctCode: text->appendUnsigned(readU8(field)); break;
    case FieldType::U16: text->appendUnsigned(readU16(field)); break;
    case FieldType::Hex16: text->appendHex(readU16(field), 4); break;
    case FieldType::I16: text->appendSigned(readI16(field)); break;
    case FieldType::U32:
    case FieldType::ChangeTag: text->appendUnsigned(readU32(field)); break;
    case FieldType::Hex32: text->appendHex(readU32(field), 8); break;
    case FieldType::Sid: appendSid(record, row, text); break;
  }
}

void appendTimeStamp(int64_t now, TextBuffer* text) {
  char stamp[kTimeTextSize];
  size_t length = formatUtc(now, "%Y-%m-%d %H:%M:%S Z", stamp, sizeof stamp);
  text->append(stamp, length);
}

void emit(FILE* output, const TextBuffer& text) {
  text.writeTo(output);
  fflush(output);
}

}  // namespace

void renderLongSection(const unsigned char* record, TextBuffer* text) {
  text->append('[');
  appendText(record, kUserInfoFields[kGroupIdRow], text);
  text->append('\\');
  appendText(record, kUserInfoFields[kUserIdRow], text);
  text->append("]\n", 2);
  for (const FieldRow& row : kUserInfoFields) {
    text->append(row.key);
    text->append('=');
    appendValue(record, row, text);
    if (row.type == FieldType::ChangeTag) {
      uint32_t tag = readU32(record + row.offset);
      if (tag != 0) {
        char date[kTimeTextSize];
        text->append(
            date, formatUtc(tag, ", %m/%d/%Y %H:%M:%S Z", date, sizeof date));
      }
    }
    text->append('\n');
  }
  text->append('\n');
}

void renderCsvRow(const unsigned char* record, TextBuffer* text) {
  for (const FieldRow& row : kUserInfoFields) {
    bool quoted = row.type == FieldType::Text || row.type == FieldType::Sid;
    if (quoted) text->append('"');
    appendValue(record, row, text);
    if (quoted) text->append('"');
    text->append(row.type == FieldType::Sid ? '\n' : ',');
  }
}

namespace {

// Builds one head, section or row in `scratch` and writes it out flushed;
// a null `output` gets nothing.
template <typename Render>
void emitRendered(FILE* output, TextBuffer* scratch, Render render) {
  if (output == nullptr) return;
  scratch->clear();
  render(scratch);
  emit(output, *scratch);
}

}  // namespace

void writeLongHead(FILE* output, const char* serverName, int64_t now,
                   TextBuffer* scratch) {
  emitRendered(output, scratch, [&](TextBuffer* text) {
    text->append("[List]\nFormat=1\nServer=");
    text->append(serverName);
    text->append("\nDate=");
    appendTimeStamp(now, text);
    text->append("\n\n");
  });
}

void writeLongSection(FILE* output, const unsigned char* record,
                      TextBuffer* scratch) {
  emitRendered(output, scratch,
               [&](TextBuffer* text) { renderLongSection(record, text); });
}

void writeCsvHead(FILE* output, const char* serverName, int64_t now,
                  TextBuffer* scratch) {
  emitRendered(output, scratch, [&](TextBuffer* text) {
    text->append("\"format=1\",\"");
    appendTimeStamp(now, text);
    text->append("\",\"");
    text->append(serverName);
    text->append("\"\n");
    for (const FieldRow& row : kUserInfoFields) {
      text->append(row.name);
      text->append(row.type == FieldType::Sid ? '\n' : ',');
    }
  });
}

void writeCsvRow(FILE* output, const unsigned char* record,
                 TextBuffer* scratch) {
  emitRendered(output, scratch,
               [&](TextBuffer* text) { renderCsvRow(record, text); });
}

}  // namespace tarvek
