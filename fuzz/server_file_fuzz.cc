// rfsim's server-file parser on arbitrary bytes. A file that parses is also
// served: its list elements are built and every listed user is loaded and
// rendered in both long reports.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "fuzz/fuzz_target.h"
#include "reports/long_report.h"
#include "rfsim/server_file.h"
#include "rfsim/server_model.h"
#include "server/user_info_record.h"
#include "server/user_list_element.h"
#include "util/bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  rfsim::ServerModel model;
  rfsim::ParseError error;
  if (!rfsim::parseServerFile(text, size, &model, &error)) {
    // The error names a line of the file and says what is wrong.
    size_t lines = 1;
    for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
    if (error.line > lines || error.what.empty()) abort();
    return 0;
  }
  if (model.generate.users > 1000) return 0;  // large servers cost, not risk
  std::vector<unsigned char> elements(model.userCount() * tarvek::kElementSize);
  model.writeElements(elements.data());
  tarvek::TextBuffer rendered;
  unsigned char record[tarvek::kUserInfoSize];
  for (size_t i = 0; i < model.userCount(); ++i) {
    const unsigned char* element = elements.data() + i * tarvek::kElementSize;
    char id[tarvek::kElementUserIdRoom + 1] = {};
    const unsigned char* idText = element + tarvek::kElementUserIdOffset;
    size_t length = tarvek::boundedLength(idText, tarvek::kElementUserIdRoom);
    memcpy(id, idText, length);
    // Every listed user can be loaded by the ID its element shows.
    if (!model.loadUser(id, record)) abort();
    rendered.clear();
    tarvek::renderLongSection(record, &rendered);
    tarvek::renderCsvRow(record, &rendered);
  }
  return 0;
}
