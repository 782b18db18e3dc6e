// UserListProgram: lists the users of one fax server. It adds to the
// connection base what the command line chose (report destination, group
// pattern, format, sorting) and the run sequence that decides the exit code.
#ifndef TARVEK_APP_USER_LIST_PROGRAM_H_
#define TARVEK_APP_USER_LIST_PROGRAM_H_

#include <stdio.h>

#include "app/command_line.h"
#include "server/fax_server_program.h"
#include "server/user_list_element.h"
#include "util/text_buffer.h"

namespace tarvek {

class WalkProgress;

/// Exit codes of a run.
enum ExitCode : int {
  kExitDone = 0,
  kExitNoConnection = 1,
  kExitNoUserList = 2,
  kExitOutputFailed = 3,
  kExitOutOfMemory = 4,
  kExitUsage = 255,
};

class UserListProgram : public FaxServerProgram {
 public:
  explicit UserListProgram(FILE* console = stdout,
                           PauseFunction pause = nullptr);
  ~UserListProgram() override;

  /// Scans the command line, opens the report output, connects, lists and
  /// disconnects. Returns the exit code: 255 usage shown, 3 report output
  /// not opened or not written completely, 4 memory for a copy of the
  /// program's own ran out, 2 user list not retrieved, 1 no usable
  /// connection, 0 done; 3 and 4 replace only 0 and 2, 3 before 4.
  int run(int argc, char** argv);

  /// Retrieves, sorts and filters the user list and writes the report.
  /// `patterns` is a null-terminated list of user-ID patterns (null counts
  /// as empty). False when the user list could not be retrieved.
  bool listUsers(char** patterns);

  /// The long report's header (null `record`) or one user's section, to
  /// the report output.
  void writeLong(const unsigned char* record);
  /// The CSV report's head (null `record`) or one user's row.
  void writeLongCsv(const unsigned char* record);

  /// The connections the long reports' loads may use (TARVEK_CONNECTIONS).
  void setConnections(int connections) { connections_ = connections; }

  // Public, and in this order: the object's layout stays as it is expected
  // behind the base's fields.
  FILE* output;
  const char* groupPattern;
  ListFormat format;
  bool sortList;

 private:
  class PoolWriter;

  void printUsage();
  /// A long report's section or row of a loaded user (`loaded` 0), or the
  /// fragment and console line of one that couldn't be.
  void writeLoadedUser(const ElementTexts& texts, RFaxResult loaded,
                       const unsigned char* record, WalkProgress* progress);
  /// The server's name as the report heads show it.
  const char* reportedServer() const;
  /// Writes "*** Can't open/write: NAME: TEXT" for the report output.
  void reportOutputFailure(int error);
  /// Keeps errno as the report output's error unless one is kept already.
  void noteOutputError();
  /// Records the first failure of `output` (with its errno), if any.
  void checkOutput();
  /// Closes a flushed report file; false, with the message written, when
  /// any of the report was lost.
  bool closeOutput();

  const char* outputName_ = "-";
  int outputError_ = 0;
  TextBuffer scratch_;
  int connections_ = 1;
};

/// The usage text, shown after the title and version lines.
extern const char kUsageText[];

/// The process entry: one program object on the heap writing its console
/// text to `console`; returns the exit code.
int processMain(int argc, char** argv, FILE* console = stdout,
                PauseFunction pause = nullptr);

}  // namespace tarvek

#endif  // TARVEK_APP_USER_LIST_PROGRAM_H_
