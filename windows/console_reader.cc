// The lane's console reader: runs a program in this process's console with a
// given output code page, waits for it, and writes what the console's cells
// then hold, so that the lane sees the screen as a user would.
//
// Usage: console_reader [-cp CODEPAGE] [-stdout FILE] [-cd FOLDER]
//                       [-env NAME=VALUE]... RESULT PROGRAM [ARGUMENT...]
//
// RESULT (UTF-8, LF line ends): "exit 0xXXXXXXXX" (the program's exit
// code), "code page N" (the console's output code page after the run), then
// the screen, one line per row, trailing blanks trimmed, empty rows at the
// end dropped. The screen is cleared (and made wide enough that no line
// wraps) before the program starts; the old output code page is put back
// after the run. With -stdout the program's
// standard output is FILE (as cmd's "> FILE"); its input and errors stay on
// the console. Ctrl+C and Ctrl+Break reach the program; the reader ignores
// them (a handler of its own: ignoring them with a null handler would be
// inherited). Exit code 0, 1 with the reason in RESULT, 2 for a bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Columns enough that no line of tarvek's wraps (Wine's console has 80).
const SHORT kColumns = 512;

const wchar_t* resultFile = nullptr;
UINT oldCodePage = 0;

bool writeResult(const std::string& text) {
  HANDLE file = CreateFileW(resultFile, GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()),
                         &written, nullptr) &&
               written == text.size();
  return CloseHandle(file) && whole;
}

// The reason goes to the result file (standard output may be the console).
int fail(const char* what) {
  char line[128];
  std::snprintf(line, sizeof line, "console_reader: %s failed (error %lu)\n",
                what, GetLastError());
  writeResult(line);
  if (oldCodePage != 0) SetConsoleOutputCP(oldCodePage);
  return 1;
}

BOOL WINAPI ignoreControl(DWORD) { return TRUE; }

// ARGUMENT as the C runtime's command-line parser reads it back.
std::wstring quoted(const wchar_t* argument) {
  if (*argument != L'\0' && std::wcspbrk(argument, L" \t\"") == nullptr) {
    return argument;
  }
  std::wstring text = L"\"";
  size_t backslashes = 0;
  for (const wchar_t* p = argument;; ++p) {
    if (*p == L'\\') {
      ++backslashes;
      continue;
    }
    if (*p == L'\0') {
      text.append(backslashes * 2, L'\\');
      break;
    }
    text.append(*p == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    text += *p;
  }
  return text + L"\"";
}

std::string utf8(const wchar_t* text, int length) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr,
                                 nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text, length, &bytes[0], size, nullptr,
                        nullptr);
  }
  return bytes;
}

HANDLE openInheritable(const wchar_t* name, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// The entry of a -municode program.
int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
  UINT codePage = 0;
  const wchar_t* redirect = nullptr;
  const wchar_t* folder = nullptr;
  int i = 1;
  for (; i + 1 < argc && argv[i][0] == L'-'; i += 2) {
    if (std::wcscmp(argv[i], L"-cp") == 0) {
      codePage = static_cast<UINT>(std::wcstoul(argv[i + 1], nullptr, 10));
      if (codePage == 0) break;
    } else if (std::wcscmp(argv[i], L"-stdout") == 0) {
      redirect = argv[i + 1];
    } else if (std::wcscmp(argv[i], L"-cd") == 0) {
      folder = argv[i + 1];
    } else if (std::wcscmp(argv[i], L"-env") == 0) {
      std::wstring setting = argv[i + 1];
      size_t equals = setting.find(L'=');
      if (equals == std::wstring::npos || equals == 0) break;
      SetEnvironmentVariableW(setting.substr(0, equals).c_str(),
                              setting.c_str() + equals + 1);
    } else {
      break;
    }
  }
  if (argc - i < 2 || argv[i][0] == L'-') {
    std::printf(
        "usage: console_reader [-cp CODEPAGE] [-stdout FILE] [-cd FOLDER] "
        "[-env NAME=VALUE]... RESULT PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  resultFile = argv[i];
  const wchar_t* program = argv[i + 1];
  std::wstring commandLine = quoted(program);
  for (int a = i + 2; a < argc; ++a) commandLine += L" " + quoted(argv[a]);

  SetConsoleCtrlHandler(ignoreControl, TRUE);
  HANDLE input =
      openInheritable(L"CONIN$", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  HANDLE screen =
      openInheritable(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (input == INVALID_HANDLE_VALUE || screen == INVALID_HANDLE_VALUE) {
    return fail("opening the console");
  }
  HANDLE output = screen;
  if (redirect != nullptr) {
    output = openInheritable(redirect, GENERIC_WRITE, CREATE_ALWAYS);
    if (output == INVALID_HANDLE_VALUE)
      return fail("creating the standard output file");
  }

  if (codePage != 0) {
    oldCodePage = GetConsoleOutputCP();
    if (!SetConsoleOutputCP(codePage)) return fail("SetConsoleOutputCP");
  }

  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(screen, &info))
    return fail("GetConsoleScreenBufferInfo");
  const COORD oldSize = info.dwSize;
  if (info.dwSize.X < kColumns) {
    const COORD wide = {kColumns, info.dwSize.Y};
    if (!SetConsoleScreenBufferSize(screen, wide))
      return fail("SetConsoleScreenBufferSize");
    if (!GetConsoleScreenBufferInfo(screen, &info))
      return fail("GetConsoleScreenBufferInfo");
  }
  const COORD origin = {0, 0};
  DWORD cells =
      static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  DWORD written = 0;
  FillConsoleOutputCharacterW(screen, L' ', cells, origin, &written);
  FillConsoleOutputAttribute(screen, info.wAttributes, cells, origin, &written);
  SetConsoleCursorPosition(screen, origin);

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = screen;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program, &commandLine[0], nullptr, nullptr, TRUE, 0,
                      nullptr, folder, &startup, &process)) {
    return fail("CreateProcess");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  UINT codePageAfter = GetConsoleOutputCP();
  if (oldCodePage != 0) SetConsoleOutputCP(oldCodePage);

  char head[64];
  std::snprintf(head, sizeof head, "exit 0x%08lX\ncode page %u\n", exitCode,
                codePageAfter);
  std::string text = head;
  std::string rows;
  std::wstring cellsOfRow(static_cast<size_t>(info.dwSize.X), L' ');
  for (SHORT y = 0; y < info.dwSize.Y; ++y) {
    DWORD read = 0;
    const COORD start = {0, y};
    if (!ReadConsoleOutputCharacterW(screen, &cellsOfRow[0],
                                     static_cast<DWORD>(info.dwSize.X), start,
                                     &read)) {
      return fail("ReadConsoleOutputCharacterW");
    }
    while (read > 0 &&
           (cellsOfRow[read - 1] == L' ' || cellsOfRow[read - 1] == L'\0'))
      --read;
    rows += utf8(cellsOfRow.data(), static_cast<int>(read)) + "\n";
    if (read > 0) {
      text += rows;
      rows.clear();
    }
  }

  SetConsoleScreenBufferSize(screen, oldSize);
  if (!writeResult(text)) {
    std::printf("console_reader: can't write the result file (error %lu)\n",
                GetLastError());
    return 1;
  }
  return 0;
}
