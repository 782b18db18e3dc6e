// The server-file parser (the format is in the README, "Simulated servers").
// User sections are driven by the field table kUserInfoFields
// (server/user_info_record.h): a key of a user section is a row's long-report
// key, and the row's type says how its value is read.
//
// Strictness, where the format leaves it open:
//
// - Numbers: no blanks anywhere, no '+'. Unsigned decimals are digits only;
//   signed decimals are digits with an optional leading '-'; leading zeros are
//   allowed ("007" is 7, "-0" is 0). Hex values (UserFlags, UserFlags2,
//   AutoPrintFlags) are 1 to 8 (resp. 1 to 4) hex digits of either case with
//   no "0x". A value with any other character is "bad number"; a well-formed
//   value that doesn't fit the field's width and signedness (U8 0-255, I16
//   -32768..32767, U32 up to 4294967295, ...) is "number out of range".
// - ChangeTag: the part before the first ',' is an unsigned 32-bit decimal as
//   above (so "ChangeTag=," is a bad number).
// - SecurityID and Bytes@OFFSET: pairs of exactly two hex digits, one space
//   between two pairs, none before the first or after the last; an empty value
//   is no bytes. Bytes@ OFFSET is an unsigned decimal 0-1901.
// - The same key twice in one section is an error ("duplicate key"), in every
//   section but [List]; so is the same CODE twice in [Errors] (across several
//   [Errors] sections too). Bytes@ keys count as different keys when their
//   texts differ ("Bytes@7" and "Bytes@07" both apply, in file order).
// - [Server], [Faults] and [Generate] each stand at most once; [Errors] and
//   [List] may stand several times. A line beginning with '[' must end with
//   ']'. Within [List] every line still needs its '='.
// - A zero byte anywhere in a line is an error (found as soon as it is read);
//   so is a line longer than kMaxLineLength bytes. Comment lines may be of
//   any length and hold any bytes.
// - A file larger than kMaxServerFileSize fails at line 0 ("file too large")
//   before it is read. Storage the file asks for that can't be had fails at
//   the line that asked ("out of memory").
// - The user ID is the UserID key when given, else the part of the section
//   name after the first '\'; the group ID likewise. A section-name half too
//   long for its field is an error reported at the section line.
// - Duplicate user IDs (ASCII letters without case) are reported at the
//   section line of the later user. A listed user whose ID is one that
//   [Generate] makes ("user0000001" ... up to Users) is a duplicate too,
//   reported at its section line, wherever [Generate] stands.
// - [Faults] ConnectError must not be 0 (a failed attempt needs a code);
//   [Generate] Users is 0 to 10,000,000, Groups 1 to 10,000,000, Seed any
//   unsigned 32-bit value; Release is MAJOR.MINOR, two unsigned 32-bit
//   decimals; Latency is 0 to kMaxLatency.
#ifndef TARVEK_RFSIM_SERVER_FILE_H_
#define TARVEK_RFSIM_SERVER_FILE_H_

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

#include "rfsim/server_model.h"
#include "server/user_info_record.h"

namespace rfsim {

/// Where and why a server file is invalid: line (1-based) and a short phrase.
struct ParseError {
  unsigned line = 0;
  std::string what;
};

/// The largest server file that is read: 1 GiB.
constexpr uint64_t kMaxServerFileSize = uint64_t{1} << 30;
/// The longest [Server] Latency, in milliseconds.
constexpr uint32_t kMaxLatency = 10000;
/// The longest line that isn't a comment, line end not counted: 1 MiB.
constexpr size_t kMaxLineLength = size_t{1} << 20;

/// Parses the `length` bytes of a server file into `model` (a fresh one).
/// False with `error` filled at the first error; `model` is then partly
/// filled and must be thrown away.
bool parseServerFile(const char* text, size_t length, ServerModel* model,
                     ParseError* error);

/// Reads the server file `file` (open for reading) to its end or its first
/// error, parsing each line as it arrives, and holding no more than one line
/// at a time. As parseServerFile; a read error, or more than
/// kMaxServerFileSize bytes, fails at line 0.
bool parseServerStream(FILE* file, ServerModel* model, ParseError* error);

/// The phrase of a file over kMaxServerFileSize.
inline constexpr char kFileTooLargePhrase[] =
    "file too large (more than 1 GiB)";
/// The phrase of storage that can't be had.
inline constexpr char kOutOfMemoryPhrase[] = "out of memory";

/// "can't read the file: " and the text of the error number `number`.
std::string readFailure(int number);

/// Sets the field of `row` in `record` from the `length` bytes of `value`,
/// written as a long report writes it (see above). False with a short phrase
/// in `what` when the value is invalid; the field is then unchanged.
bool setUserField(const tarvek::FieldRow& row, const char* value, size_t length,
                  unsigned char* record, std::string* what);

/// The row whose long-report key is `key` (`length` bytes), or null: the
/// table's own findFieldByKey through a hash index built once.
const tarvek::FieldRow* findUserField(const char* key, size_t length);

/// Reads `length` bytes as a signed 32-bit decimal (digits with an optional
/// leading '-', nothing else); false when they aren't one.
bool parseDecimalI32(const char* text, size_t length, int32_t* out);

}  // namespace rfsim

#endif  // TARVEK_RFSIM_SERVER_FILE_H_
