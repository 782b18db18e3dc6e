// The two long renderings of user information records: the INI-style long
// report and the CSV report. Both follow the field table of
// server/user_info_record.h row by row. Each call writes one complete head,
// section or row to `output` and flushes it; a null `output` writes nothing.
#ifndef TARVEK_REPORTS_LONG_REPORT_H_
#define TARVEK_REPORTS_LONG_REPORT_H_

#include <stdint.h>
#include <stdio.h>

#include "util/text_buffer.h"

namespace tarvek {

/// With a null `record`, the "[List]" header section naming `serverName`
/// and the time `now`; otherwise the 69-line section of the 1902-byte
/// `record`. `scratch` is reused between calls.
void writeLongReport(FILE* output, const char* serverName, int64_t now,
                     const unsigned char* record, TextBuffer* scratch);

/// With a null `record`, the identification line and the column-name line;
/// otherwise the 67-cell row of the 1902-byte `record`.
void writeCsvReport(FILE* output, const char* serverName, int64_t now,
                    const unsigned char* record, TextBuffer* scratch);

/// Appends the long-report section / CSV row of `record` to `text`.
void renderLongSection(const unsigned char* record, TextBuffer* text);
void renderCsvRow(const unsigned char* record, TextBuffer* text);

}  // namespace tarvek

#endif  // TARVEK_REPORTS_LONG_REPORT_H_
