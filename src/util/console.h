// The console edge of the program, one file per platform behind this
// header: which stream is a console, how wide it is and whether the run is
// in its foreground; console text; the transient line (a progress line)
// that stands on the cursor's row until it is erased; and the last words
// of a run that ends at once (an interruption, a crash in the client
// library), which leave the console as it would be without the line.
//
// Text goes out as it is, except on a Windows console: there it is read in
// the ANSI code page and reaches the console as UTF-16, so that it shows
// the characters it stands for whatever the console's own code page.
#ifndef TARVEK_UTIL_CONSOLE_H_
#define TARVEK_UTIL_CONSOLE_H_

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

namespace tarvek {

/// True when `stream` writes to a console (a terminal on POSIX).
bool isConsole(FILE* stream);

/// True when `stream` writes to a console, or may: on Windows any character
/// device, since a console opened for writing alone ("CON") can't be asked
/// (NUL is one too).
bool mayBeConsole(FILE* stream);

/// The width in columns of the console `stream` writes to; 0 when it writes
/// to no console (a file, a pipe, nothing).
int consoleColumns(FILE* stream);

/// Writes `size` bytes of text to `stream`; true when all of them were
/// accepted. On a Windows console they are written at once; elsewhere
/// through the stream's buffer.
bool writeText(FILE* stream, const char* text, size_t size);

/// writeText for a terminated text.
bool writeText(FILE* stream, const char* text);

/// printf to `stream` through writeText.
void printText(FILE* stream, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void printTextV(FILE* stream, const char* format, va_list args);

#if defined(_WIN32)
/// Writes a text of the system's (UTF-16, such as a folder's name): as it
/// is on a console, in the ANSI code page ('?' for what it can't hold)
/// everywhere else.
void writeWideText(FILE* stream, const wchar_t* text);
#endif

/// The transient line on the console of `stream`: the most characters it
/// may show now, short of the console's width by the cursor's cell and a
/// terminal's echo of Ctrl+C; 0 when it can't show now (no console; a run
/// in the background of a terminal; a console narrowed below what the line
/// shows, until it is wide enough again).
size_t consoleLineRoom(FILE* stream);

/// Shows `size` characters of ASCII `text` (at most consoleLineRoom) as the
/// transient line, in place of what it showed. False, showing nothing, once
/// the run's last words are out.
bool showConsoleLine(FILE* stream, const char* text, size_t size);

/// Erases the transient line, if shown, before other console text: every
/// row it may cover, the cursor at the start of its first.
void eraseConsoleLine();

/// From now on until the process ends, an interruption erases the
/// transient line, runs the work set by setInterruptionWork, and ends the
/// run as it would end without: on POSIX SIGINT, SIGTERM, SIGPIPE, SIGQUIT,
/// SIGHUP and SIGXFSZ (each unless ignored at the start) end it by the same
/// signal's default action; on Windows Ctrl+C, Ctrl+Break and closing the
/// console flush the streams, write "*** Interrupted" to standard output
/// and end it with 0xC000013A, as Windows ends a program on Ctrl+C.
void catchInterruptions();

/// Work for the last moment of a run that ends at once (an interruption, or
/// the last words of writeLastWords), such as ending helper processes:
/// async-signal-safe on POSIX (a signal handler runs it), on Windows run by
/// Ctrl+C's thread or a crash filter. Null: none.
void setInterruptionWork(void (*work)());

#if defined(_WIN32)
/// The last words of a run that a crash ends: the transient line erased
/// for good, the work set by setInterruptionWork run, every stream flushed,
/// then `size` bytes of ASCII `line` (its line ends CR LF) written to
/// `stream` with one call and without a buffer on the stack (a stack
/// overflow leaves little): to a console as UTF-16, to a file or a pipe as
/// they are.
void writeLastWords(FILE* stream, const char* line, size_t size);
#endif

}  // namespace tarvek

#endif  // TARVEK_UTIL_CONSOLE_H_
