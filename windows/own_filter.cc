// Makes rfsim's DLL of the own-filter build install an unhandled-exception
// filter of its own as it loads, as a library with crash reporting does;
// the filter ends the process with exit code 77. The build also faults in
// RFaxGetUserList: the lane checks that tarvek's line comes, not 77.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

LONG WINAPI ownFilter(EXCEPTION_POINTERS* /*exception*/) {
  TerminateProcess(GetCurrentProcess(), 77);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

// The loader's entry.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason,
                               LPVOID reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason,
                               LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) SetUnhandledExceptionFilter(ownFilter);
  return TRUE;
}
