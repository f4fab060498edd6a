// Loading libraries by name and finding their exports, with the entry-point protocol:
// every library may export
//     extern "C" int DllEntryPoint(void* instance, unsigned long reason, void* reserved);
// which is called with reason 1 (attach) after every successful load and with reason 0
// (detach) before every close. An attach that returns 0 fails the load: the library is
// detached and closed again, and nothing stays loaded.
//
// A name ending in ".dll" is also tried as "lib<stem>.so", so configuration files
// written for Windows keep working. A bare name is looked for through the dynamic
// linker's search path, then beside the binary holding this code, then in the library
// folder of the running program.
#pragma once

namespace platform {

using ModuleHandle = void*;

enum : unsigned long { DLL_PROCESS_DETACH = 0, DLL_PROCESS_ATTACH = 1 };

// A handle for the loaded library, or null when it cannot be found, loaded or attached.
ModuleHandle LoadLibrary(const char* name);

// The address of the export called name, or null.
void* GetProcAddress(ModuleHandle module, const char* name);

// Typed form of GetProcAddress.
template <class Fn> Fn GetProc(ModuleHandle module, const char* name) {
    return reinterpret_cast<Fn>(GetProcAddress(module, name));
}

// Detaches and closes the library. False for a null handle or a failing close.
bool FreeLibrary(ModuleHandle module);

} // namespace platform
