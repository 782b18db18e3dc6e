// The process's arguments as the platform hands them over, and the report
// file that one of them names.
#ifndef TARVEK_APP_ARGUMENTS_H_
#define TARVEK_APP_ARGUMENTS_H_

#include <stdio.h>

namespace tarvek {

/// On Windows, when `*argv` is the process's own argument vector, replaces
/// it with the arguments of the UTF-16 command line converted exactly to
/// the ANSI code page, the code page the library takes them in. False when
/// one that the run would use can't be: then one "*** " line naming it has
/// been written to `console` and flushed. Elsewhere the arguments stay.
bool takeArguments(int* argc, char*** argv, FILE* console);

/// Opens the report file `name` (an argument) for writing as text, on
/// Windows by the name it was typed as; null with errno set on failure.
FILE* openReportFile(const char* name);

/// Writes the argument `argument` to `stream` as it was typed.
void writeArgument(FILE* stream, const char* argument);

}  // namespace tarvek

#endif  // TARVEK_APP_ARGUMENTS_H_
