// The registry key wrapper: the 64-bit view (or the 32-bit one) and the bounded whole-value read.
#include "base/RegistryKey.h"

#include "base/AnsiText.h"
#include "base/PlatformApi.h"

namespace {

// A value that keeps growing between the size query and the read is given
// up on after this many reads.
constexpr int MaxReadAttempts = 4;

// `query(type, data, size)` asks for the value as RegQueryValueEx does.
template <class TQuery> TRegData ReadWhole(TQuery query, DWORD maxBytes)
{
    TRegData value;
    DWORD size = 0;
    value.Result = query(&value.Type, nullptr, &size);
    if (value.Result != ERROR_SUCCESS) {
        value.AtSizeQuery = true;
        return value;
    }
    for (int attempt = 0; attempt < MaxReadAttempts; ++attempt) {
        if (size > maxBytes)
            break;
        value.Bytes.assign(size, '\0');
        DWORD got = size;
        value.Result = query(&value.Type, size ? reinterpret_cast<BYTE*>(&value.Bytes[0]) : nullptr, &got);
        if (value.Result == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2;
            continue;
        }
        value.Bytes.resize(value.Result != ERROR_SUCCESS ? 0 : got < size ? got : size);
        return value;
    }
    value.Result = ERROR_MORE_DATA;
    value.Bytes.clear();
    return value;
}

}  // namespace

LONG TRegistryKey::Open(HKEY root, const char* path, REGSAM access, TRegistryView view)
{
    HKEY key = nullptr;
    const REGSAM viewFlag = view == TRegistryView::Bit32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const LONG result = PlatformApi.RegOpenKeyExA(root, path, 0, access | viewFlag, &key);
    key_.Reset(result == ERROR_SUCCESS ? key : nullptr);
    return result;
}

LONG TRegistryKey::Create(HKEY root, const char* path, REGSAM access)
{
    HKEY key = nullptr;
    const LONG result = PlatformApi.RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                    access | KEY_WOW64_64KEY, nullptr, &key, nullptr);
    key_.Reset(result == ERROR_SUCCESS ? key : nullptr);
    return result;
}

TRegData TRegistryKey::QueryText(const char* name, DWORD maxBytes) const
{
    return ReadWhole(
        [&](DWORD* type, BYTE* data, DWORD* size) {
            return PlatformApi.RegQueryValueExA(key_.Get(), name, nullptr, type, data, size);
        },
        maxBytes);
}

TRegData TRegistryKey::QueryBytes(const char* name, DWORD maxBytes) const
{
    const TWideText wideName = ToWide(name);
    return ReadWhole(
        [&](DWORD* type, BYTE* data, DWORD* size) {
            return PlatformApi.RegQueryValueExW(key_.Get(), wideName.c_str(), nullptr, type, data, size);
        },
        maxBytes);
}

LONG TRegistryKey::SetText(const char* name, const std::string& text, DWORD type) const
{
    return PlatformApi.RegSetValueExA(key_.Get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>(text.size() + 1));
}

LONG TRegistryKey::SetBytes(const char* name, DWORD type, const std::string& bytes) const
{
    return PlatformApi.RegSetValueExW(key_.Get(), ToWide(name).c_str(), 0, type,
                                      reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
}

LONG TRegistryKey::DeleteValue(const char* name) const
{
    return PlatformApi.RegDeleteValueA(key_.Get(), name);
}
