// Makes rfsim's DLL of the needs-dependency build import RFSIMDEP.dll: the
// reference below puts it in the DLL's import table, so the DLL loads only
// where the loader finds RFSIMDEP.dll.
extern "C" __declspec(dllimport) int rfsimDependency(void);
extern "C" int rfsimUsesDependency(void);

extern "C" int rfsimUsesDependency(void) { return rfsimDependency(); }
