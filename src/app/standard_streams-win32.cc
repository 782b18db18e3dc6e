#include "app/standard_streams.h"

#include <stdio.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "util/console_line.h"
#include "util/ident.h"
#include "util/text_output.h"

TARVEK_IDENT("@(#)standard_streams-win32.cc 1.2 2026/12/09")

namespace tarvek {
namespace {

// How Windows ends a console program on Ctrl+C (STATUS_CONTROL_C_EXIT).
constexpr UINT kControlCExit = 0xC000013A;
// The buffer of Windows' C runtime for a redirected stream.
constexpr size_t kStreamBuffer = 4096;

// Runs on a thread of its own while the run waits or writes.
BOOL WINAPI interrupted(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT &&
      event != CTRL_CLOSE_EVENT)
    return FALSE;
  endConsoleLine();
  fflush(nullptr);
  writeText(stdout, "*** Interrupted\n");
  fflush(stdout);
  TerminateProcess(GetCurrentProcess(), kControlCExit);
  return TRUE;
}

}  // namespace

// The C runtime gives a console program without standard handles streams
// that fail on every write; a report file never takes their place.
void prepareStandardStreams() {
  if (!isConsole(stdout)) setvbuf(stdout, nullptr, _IOFBF, kStreamBuffer);
  SetConsoleCtrlHandler(interrupted, TRUE);
}

}  // namespace tarvek
