// The option scan of the command line.
#ifndef TARVEK_APP_COMMAND_LINE_H_
#define TARVEK_APP_COMMAND_LINE_H_

#include <stdint.h>

namespace tarvek {

/// The report format; any value but 1, 2 and 3 lists as Default.
enum ListFormat : int16_t {
  Default = 0,
  Short = 1,
  Long = 2,
  LongCsv = 3,
};

struct CommandLine {
  const char* host = nullptr;
  const char* groupPattern = nullptr;
  const char* outputName = "-";
  ListFormat format = Default;
  bool sortList = false;
  /// The user-ID patterns: the rest of the argument vector, ending with its
  /// null entry.
  char** patterns = nullptr;
};

/// Scans `argv` (argc entries and a null one). Options are whole,
/// case-sensitive arguments before the host; the scan stops at the first
/// argument that doesn't begin with '-' and isn't "/?". False means the
/// usage is due: no arguments, "-?", "/?", an unknown option, an option
/// missing its argument, or no host.
bool scanCommandLine(int argc, char** argv, CommandLine* line);

/// The first argument (1 to argc - 1) that `exact[i]` says is not the text
/// it was typed as (Windows: a character the ANSI code page lacks) and that
/// reaches the library, or 0 when there is none. Only the report's file name
/// never does (it is opened by its own name); when the scan shows the usage,
/// no argument is used.
int firstInexactArgument(int argc, char** argv, const bool* exact);

}  // namespace tarvek

#endif  // TARVEK_APP_COMMAND_LINE_H_
