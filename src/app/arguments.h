// The process's arguments as the platform hands them over, and the report
// file that one of them names.
#ifndef TARVEK_APP_ARGUMENTS_H_
#define TARVEK_APP_ARGUMENTS_H_

#include <stdio.h>

namespace tarvek {

enum class ArgumentsTaken {
  kYes,
  /// An argument the run would use has no exact form in the code page.
  kInexact,
  /// No memory for the exact arguments, and one of them is not ASCII.
  kOutOfMemory,
};

/// On Windows, when `*argv` is the process's own argument vector, replaces
/// it with the arguments of the UTF-16 command line converted exactly to
/// the ANSI code page, the code page the library takes them in; without
/// the memory for that, the C runtime's own conversion stands only when
/// every argument is ASCII. Anything but kYes: one "*** " line has been
/// written to `console` and flushed. Elsewhere the arguments stay.
ArgumentsTaken takeArguments(int* argc, char*** argv, FILE* console);

/// Opens the report file `name` (an argument) for writing as text, on
/// Windows by the name it was typed as; null with errno set on failure.
FILE* openReportFile(const char* name);

/// Writes the argument `argument` to `stream` as it was typed.
void writeArgument(FILE* stream, const char* argument);

}  // namespace tarvek

#endif  // TARVEK_APP_ARGUMENTS_H_
