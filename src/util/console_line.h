// A transient line on the console: text that stands on the line the cursor
// is on until it is blanked again, such as a progress line. It never
// reaches a file or a pipe.
#ifndef TARVEK_UTIL_CONSOLE_LINE_H_
#define TARVEK_UTIL_CONSOLE_LINE_H_

#include <stddef.h>
#include <stdio.h>

namespace tarvek {

/// The width in columns of the console (a terminal on POSIX) that `stream`
/// writes to; 0 when it writes to no console (a file, a pipe, nothing).
int consoleColumns(FILE* stream);

/// True when `stream` writes to a console (a terminal), or may: on Windows
/// any character device, since a console opened for writing alone ("CON")
/// can't be asked (NUL is one too).
bool mayBeConsole(FILE* stream);

/// Writes `size` bytes (carriage returns, blanks and text, no line end) to
/// the console of `stream` at once (on Windows through WriteConsoleW), and
/// notes that the line now shows `shown` cells of transient text (0: none).
/// False, writing nothing, once endConsoleLine has run.
bool writeConsoleLine(FILE* stream, const char* bytes, size_t size,
                      size_t shown);

/// Blanks the transient text's cells, if any, puts the cursor at the
/// line's start, and stops writeConsoleLine for good. For the last words of
/// a run that ends at once: safe from another thread than the one that
/// writes the line (Ctrl+C) and from a crash filter on that one.
void endConsoleLine();

}  // namespace tarvek

#endif  // TARVEK_UTIL_CONSOLE_LINE_H_
