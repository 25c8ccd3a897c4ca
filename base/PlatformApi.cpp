// The one table of platform calls that tests can replace, with its defaults.
#include "base/PlatformApi.h"

namespace {
// GetProcAddress gives a generic pointer; the detour through void (*)()
// keeps the conversion to the real signature explicit and warning-free.
template <class TFn> void LookUpKernelFunction(TFn& slot, const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    slot = kernel ? reinterpret_cast<TFn>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name))) : nullptr;
}
}  // namespace

TPlatformApi::TPlatformApi()
{
    LookUpKernelFunction(IsWow64Process, "IsWow64Process");
    LookUpKernelFunction(Wow64EnableWow64FsRedirection, "Wow64EnableWow64FsRedirection");
}

TPlatformApi PlatformApi;
