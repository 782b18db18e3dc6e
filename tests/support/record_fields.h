// A user information record's fields as the tests reach them: through the
// field table's rows, by long-report key, never by a written-out offset.
#ifndef TARVEK_TESTS_SUPPORT_RECORD_FIELDS_H_
#define TARVEK_TESTS_SUPPORT_RECORD_FIELDS_H_

#include <stdlib.h>

#include "server/user_info_record.h"

namespace tarvek {
namespace testing {

/// The row of `key`; a key missing from the table ends the test binary.
inline const FieldRow& fieldRow(const char* key) {
  const FieldRow* row = findFieldByKey(key);
  if (row == nullptr) abort();
  return *row;
}

/// Where the field `key` starts in `record`.
template <typename Byte>
Byte* fieldIn(Byte* record, const char* key) {
  return record + fieldRow(key).offset;
}

}  // namespace testing
}  // namespace tarvek

#endif  // TARVEK_TESTS_SUPPORT_RECORD_FIELDS_H_
