// The Windows lane's stand-in for a spreadsheet program that has a report
// open: hold_file FILE MARKER opens FILE for reading, letting others only
// read it (FILE_SHARE_READ), creates MARKER once it holds FILE, and holds it
// until its standard input ends (or it is killed). Exit code 1, with one
// line, when FILE can't be opened or MARKER made.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: hold_file FILE MARKER\n");
    return 2;
  }
  HANDLE held = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    std::printf("hold_file: can't open %s: error %lu\n", argv[1],
                GetLastError());
    return 1;
  }
  HANDLE marker = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) {
    std::printf("hold_file: can't make %s: error %lu\n", argv[2],
                GetLastError());
    return 1;
  }
  CloseHandle(marker);
  // Until standard input ends: its writer closing it is the signal to stop.
  char buffer[64];
  DWORD got = 0;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
  }
  CloseHandle(held);
  return 0;
}
