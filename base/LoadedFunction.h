#pragma once
// Functions that older Windows releases lack, looked up by name at run time.
// Importing one would make the loader of such a release refuse the whole
// program; looked up, it is simply absent there.
#include <windows.h>

// The function `name` of the already loaded module `module`, or nullptr
// when the module or the function is not there. GetProcAddress gives a
// generic pointer; the detour through void (*)() keeps the conversion to the
// real signature explicit and warning-free.
template <class TFn> TFn LoadedFunction(const char* module, const char* name)
{
    HMODULE loaded = GetModuleHandleA(module);
    return loaded ? reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, name))) : nullptr;
}
