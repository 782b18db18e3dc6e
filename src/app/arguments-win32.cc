#include "app/arguments.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/command_line.h"
#include "binding/library_file.h"
#include "server/fax_server_program.h"
#include "util/console.h"
#include "util/ident.h"

TARVEK_IDENT("@(#)arguments-win32.cc 1.2 2026/12/09")

namespace {
struct StartupInfo {
  int newMode;
};
}  // namespace

// The C runtime's parse of the UTF-16 command line, the twin of the one
// that gives main its argv.
extern "C" int __cdecl __wgetmainargs(int* argc, wchar_t*** argv,
                                      wchar_t*** environment, int wildcards,
                                      StartupInfo* startup);

namespace tarvek {
namespace {

// The arguments as typed, and as tarvek uses them.
int argumentCount;
wchar_t** typed;
char** converted;

// `text` in the ANSI code page into `out` (`room` bytes, null: the size
// needed); the size written, terminating zero included, or 0 when a
// character has no exact equivalent there.
int toAnsi(const wchar_t* text, char* out, int room) {
  const UINT codePage = GetACP();
  if (codePage == CP_UTF8) {
    return WideCharToMultiByte(codePage, WC_ERR_INVALID_CHARS, text, -1, out,
                               room, nullptr, nullptr);
  }
  BOOL defaulted = FALSE;
  int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, -1, out,
                                 room, nullptr, &defaulted);
  return defaulted ? 0 : size;
}

// The typed form of argument `argument`, or null when it is none of them.
const wchar_t* typedForm(const char* argument) {
  for (int i = 0; i < argumentCount; ++i)
    if (converted[i] == argument) return typed[i];
  return nullptr;
}

// True when `argv` holds the C runtime's arguments of the process (the
// program's start hands main a copy of them).
bool processArguments(int argc, char** argv) {
  if (argc != __argc || __argv == nullptr) return false;
  for (int i = 0; i < argc; ++i)
    if (argv[i] == nullptr || __argv[i] == nullptr ||
        strcmp(argv[i], __argv[i]) != 0)
      return false;
  return true;
}

// True when the command line has nothing but ASCII after the program's
// name (which runs to the first blank outside double quotes): then the C
// runtime's arguments are the exact ones.
bool asciiArguments(const wchar_t* line) {
  bool quoted = false;
  for (; *line != L'\0' && (quoted || (*line != L' ' && *line != L'\t'));
       ++line)
    if (*line == L'"') quoted = !quoted;
  for (; *line != L'\0'; ++line)
    if (*line >= 0x80) return false;
  return true;
}

// Without the memory for the exact arguments, the C runtime's stand only
// when they are the same.
ArgumentsTaken noMemory(FILE* console) {
  if (asciiArguments(GetCommandLineW())) return ArgumentsTaken::kYes;
  writeText(console, FaxServerProgram::kOutOfMemoryLine);
  fflush(console);
  return ArgumentsTaken::kOutOfMemory;
}

}  // namespace

ArgumentsTaken takeArguments(int* argc, char*** argv, FILE* console) {
  if (!processArguments(*argc, *argv)) return ArgumentsTaken::kYes;
  int count = 0;
  wchar_t** wide = nullptr;
  wchar_t** environment = nullptr;
  StartupInfo startup = {0};
  if (__wgetmainargs(&count, &wide, &environment, 0, &startup) < 0 ||
      wide == nullptr || count < 1)
    return noMemory(console);

  // One block: the vector, the exact flags, then the texts, each with room
  // for the most bytes a character takes in the code page.
  CPINFO info;
  size_t widest = GetCPInfo(CP_ACP, &info) ? info.MaxCharSize : 4;
  auto room = [&](const wchar_t* argument) {
    return static_cast<int>(wcslen(argument) * widest + 1);
  };
  size_t textBytes = 0;
  for (int i = 0; i < count; ++i) textBytes += room(wide[i]);
  size_t vectorBytes = (count + 1) * sizeof(char*);
  char* block = static_cast<char*>(malloc(vectorBytes + count + textBytes));
  if (block == nullptr) return noMemory(console);
  char** vector = reinterpret_cast<char**>(block);
  bool* exact = reinterpret_cast<bool*>(block + vectorBytes);
  char* text = block + vectorBytes + count;
  for (int i = 0; i < count; ++i) {
    exact[i] = toAnsi(wide[i], text, room(wide[i])) > 0;
    // An inexact one as the C runtime gives it ('?' for what is missing).
    if (!exact[i] && WideCharToMultiByte(GetACP(), 0, wide[i], -1, text,
                                         room(wide[i]), nullptr, nullptr) <= 0)
      text[0] = '\0';
    vector[i] = text;
    text += room(wide[i]);
  }
  vector[count] = nullptr;

  int inexact = firstInexactArgument(count, vector, exact);
  if (inexact != 0) {
    printText(console,
              "*** Argument %d has characters outside the ANSI code page "
              "(%u), in which tarvek passes it to %s\n",
              inexact, GetACP(), kClientLibraryFile);
    fflush(console);
    free(block);
    return ArgumentsTaken::kInexact;
  }
  argumentCount = count;
  typed = wide;
  converted = vector;
  *argc = count;
  *argv = vector;
  return ArgumentsTaken::kYes;
}

FILE* openReportFile(const char* name) {
  const wchar_t* wide = typedForm(name);
  return wide != nullptr ? _wfopen(wide, L"w") : fopen(name, "w");
}

void writeArgument(FILE* stream, const char* argument) {
  const wchar_t* wide = typedForm(argument);
  if (wide != nullptr) {
    writeWideText(stream, wide);
  } else {
    writeText(stream, argument);
  }
}

}  // namespace tarvek
