// A DLL that rfsim's DLL of the Windows lane's needs-dependency build
// imports. Loaded, it writes "RFSIMDEP.dll ran" into RFSIMDEP.txt in the
// current folder: the lane plants it there and checks that it never runs.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The export that the importing DLL refers to, and the loader's entry.
extern "C" __declspec(dllexport) int rfsimDependency(void);
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason,
                               LPVOID reserved);

int rfsimDependency(void) { return 0; }

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason,
                               LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE marker = CreateFileA("RFSIMDEP.txt", GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
      static const char kText[] = "RFSIMDEP.dll ran\r\n";
      DWORD written = 0;
      WriteFile(marker, kText, sizeof kText - 1, &written, nullptr);
      CloseHandle(marker);
    }
  }
  return TRUE;
}
