// The two long renderings of user information records: the INI-style long
// report and the CSV report. Both follow the field table of
// server/user_info_record.h row by row. Each write function puts one
// complete head, section or row to `output` and flushes it; a null `output`
// gets nothing. `scratch` is reused between calls.
#ifndef TARVEK_REPORTS_LONG_REPORT_H_
#define TARVEK_REPORTS_LONG_REPORT_H_

#include <stdint.h>
#include <stdio.h>

#include "util/text_buffer.h"

namespace tarvek {

/// The "[List]" header section naming `serverName` and the time `now`.
void writeLongHead(FILE* output, const char* serverName, int64_t now,
                   TextBuffer* scratch);
/// The 69-line section of the 1902-byte `record`.
void writeLongSection(FILE* output, const unsigned char* record,
                      TextBuffer* scratch);

/// The identification line and the column-name line.
void writeCsvHead(FILE* output, const char* serverName, int64_t now,
                  TextBuffer* scratch);
/// The 67-cell row of the 1902-byte `record`.
void writeCsvRow(FILE* output, const unsigned char* record,
                 TextBuffer* scratch);

/// Appends the long-report section / CSV row of `record` to `text`.
void renderLongSection(const unsigned char* record, TextBuffer* text);
void renderCsvRow(const unsigned char* record, TextBuffer* text);

}  // namespace tarvek

#endif  // TARVEK_REPORTS_LONG_REPORT_H_
