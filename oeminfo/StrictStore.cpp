// The store in force read strictly and written back exactly for the command line.
#include "oeminfo/StrictStore.h"

#include "base/AnsiText.h"
#include "base/PlatformApi.h"
#include "base/ProfileFile.h"
#include "base/RegistryKey.h"
#include "base/ResText.h"
#include "base/SystemError.h"
#include "base/WinFiles.h"
#include "base/Wow64.h"
#include "oeminfo/LogoFile.h"
#include "base/SafeFiles.h"
#include "oeminfo/StoreLayout.h"

#include <cstring>

namespace {

TStoredBytes ReadOEMValue(const TRegistryKey& key, const char* name, bool anyType)
{
    const TRegData data = key.QueryBytes(name, MaxValueBytes);
    if (data.Result == ERROR_FILE_NOT_FOUND)
        return TStoredBytes();
    if (data.Result == ERROR_MORE_DATA && !data.AtSizeQuery)
        RaiseText(N_("Failed to get data for '%s'"), {name});
    if (data.Result != ERROR_SUCCESS)
        throw EMarquillError(std::string("The registry value ") + name +
                             " cannot be read: " + SystemErrorText(static_cast<DWORD>(data.Result)));
    if (!anyType && data.Type != REG_SZ && data.Type != REG_EXPAND_SZ)
        RaiseText(N_("Invalid data type for '%s'"), {name});
    TStoredBytes value;
    value.Present = true;
    value.Type = data.Type;
    value.Bytes = data.Bytes;
    return value;
}

}  // namespace

std::vector<TStoredBytes> ReadOEMValues(const TFieldList& fields, bool anyType)
{
    std::vector<TStoredBytes> values(fields.size());
    TRegistryKey key;
    const LONG result = OpenOEMKey(key, TOEMKeyUse::ReadExisting);
    if (result == ERROR_FILE_NOT_FOUND)
        return values;
    if (result != ERROR_SUCCESS)
        throw EMarquillError(std::string("The registry key ") + OEMKeyFullName +
                             " cannot be read: " + SystemErrorText(static_cast<DWORD>(result)));
    for (size_t i = 0; i < fields.size(); ++i)
        values[i] = ReadOEMValue(key, fields[i]->Name, anyType);
    return values;
}

std::vector<TStoredBytes> ReadWow6432NodeValues(const TFieldList& fields)
{
    std::vector<TStoredBytes> values(fields.size());
    // On 32-bit Windows both views are the one key.
    if (!IsWow64())
        return values;
    TRegistryKey key;
    const LONG opened = key.Open(HKEY_LOCAL_MACHINE, OEMKeyPath, KEY_QUERY_VALUE, TRegistryView::Bit32);
    if (opened == ERROR_FILE_NOT_FOUND)
        return values;
    auto unreadable = [](const std::string& what, LONG result) {
        return EMarquillError(what + " in the 32-bit registry view cannot be read: " +
                              SystemErrorText(static_cast<DWORD>(result)));
    };
    if (opened != ERROR_SUCCESS)
        throw unreadable(std::string("The registry key ") + OEMKeyFullName, opened);
    for (size_t i = 0; i < fields.size(); ++i) {
        const TRegData data = key.QueryBytes(fields[i]->Name, MaxValueBytes);
        if (data.Result == ERROR_FILE_NOT_FOUND)
            continue;
        if (data.Result != ERROR_SUCCESS)
            throw unreadable(std::string("The registry value ") + fields[i]->Name, data.Result);
        values[i].Present = true;
        values[i].Type = data.Type;
        values[i].Bytes = data.Bytes;
    }
    return values;
}

TWideText StoredWideText(const TStoredBytes& value)
{
    TWideText wide(value.Bytes.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty())
        std::memcpy(&wide[0], value.Bytes.data(), wide.size() * sizeof(wchar_t));
    if (!wide.empty() && wide.back() == L'\0')
        wide.pop_back();
    return wide;
}

bool OEMValueText(const TStoredBytes& value, std::string& text)
{
    return ToAnsiExactly(StoredWideText(value), text);
}

TStoredBytes RegistryValueOf(bool expand, const std::string& text)
{
    const TWideText wide = ToWide(text);
    TStoredBytes value;
    value.Present = true;
    value.Type = expand ? REG_EXPAND_SZ : REG_SZ;
    value.Bytes.assign(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t));
    return value;
}

void RestoreOEMValues(const TFieldList& fields, const std::vector<TStoredBytes>& values)
{
    const TRegistryKey key = OpenOEMKeyForWriting(TKeyRefusal::NothingWritten);
    for (size_t i = 0; i < fields.size(); ++i) {
        const TStoredBytes& value = values[i];
        const char* name = fields[i]->Name;
        const LONG result = value.Present ? key.SetBytes(name, value.Type, value.Bytes) : key.DeleteValue(name);
        if (result != ERROR_SUCCESS && (value.Present || result != ERROR_FILE_NOT_FOUND))
            RaiseText(N_("Failed to set data for '%s'"), {name});
    }
}

namespace {

// Runs `putBack`, adding why it failed to `errors`.
template <class TPutBack> void AttemptPutBack(std::string& errors, TPutBack putBack)
{
    try {
        putBack();
    } catch (const std::exception& failure) {
        AppendError(errors, failure.what());
    }
}

}  // namespace

void WriteOEMValues(const TFieldList& fields, const std::vector<TStoredBytes>& before,
                    const std::vector<TStoredBytes>& after, const std::string* logoFile, std::string& restoreError)
{
    const TRegistryLogoFile file(logoFile);
    std::string failure;
    try {
        RestoreOEMValues(fields, after);
        return;
    } catch (const ENothingWritten& refused) {
        if (!file.Written())
            throw;
        // The values are as they were: only the logo file goes back.
        failure = refused.what();
    } catch (const std::exception& refused) {
        failure = refused.what();
        AttemptPutBack(restoreError, [&] { RestoreOEMValues(fields, before); });
    }
    AttemptPutBack(restoreError, [&] { file.PutBack(); });
    throw EMarquillError(failure);
}

// The files the store itself reads and writes: on 64-bit Windows those of
// the real system directory.

TLegacyFiles ReadLegacyFiles()
{
    return WithRedirectionOff(IsWow64(), [] {
        TLegacyFiles files;
        files.Ini = ReadStoreFile(IniFilePath());
        files.Logo = ReadStoreFile(LogoFilePath());
        return files;
    });
}

TStoredBytes ReadLogoFile()
{
    return WithRedirectionOff(IsWow64(), [] { return ReadStoreFile(LogoFilePath()); });
}

void RestoreLegacyFiles(const TLegacyFiles& files)
{
    WithRedirectionOff(IsWow64(), [&] {
        const std::string ini = IniFilePath(), logo = LogoFilePath();
        if (!RestoreStoreFile(ini, files.Ini))
            RaiseText(N_("Unable to write to %s"), {ini});
        if (!RestoreStoreFile(logo, files.Logo))
            RaiseText(N_("Unable to write to %s"), {logo});
    });
}

TStoredRecord ReadLegacyRecord(const TFieldList& fields)
{
    TStoredRecord record;
    record.Files = ReadLegacyFiles();
    record.Values.resize(fields.size());
    WithRedirectionOff(IsWow64(), [&] {
        const std::string iniPath = IniFilePath();
        if (!IsExistingFile(iniPath))
            return;
        const TProfileFile profile(iniPath);
        for (const std::string& name : profile.ReadKeyNames(SupportSection, KeyNamesBufferChars))
            record.Lines.push_back(profile.ReadString(SupportSection, name.c_str(), MaxValueChars));
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i]->Legacy == TLegacyHome::GeneralKey)
                record.Values[i] = profile.ReadString(GeneralSection, fields[i]->Name, MaxValueChars);
    });
    for (size_t i = 0; i < fields.size(); ++i) {
        const TOEMField& field = *fields[i];
        if (field.Legacy == TLegacyHome::SupportLine && field.Line <= record.Lines.size())
            record.Values[i] = record.Lines[field.Line - 1];
        else if (field.Legacy == TLegacyHome::LogoFile && record.Files.Logo.Present)
            record.Values[i] = LogoFilePath();
    }
    return record;
}

void WriteLegacyRecord(const TFieldList& fields, const std::vector<std::string>& values, const std::string* logoFile,
                       const TLegacyFiles& before, std::string& restoreError)
{
    TFieldList general;
    std::vector<std::string> texts, lines;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i]->Legacy == TLegacyHome::GeneralKey) {
            general.push_back(fields[i]);
            texts.push_back(values[i]);
        } else if (fields[i]->Legacy == TLegacyHome::SupportLine && !values[i].empty()) {
            lines.push_back(values[i]);
        }
    }
    try {
        WithRedirectionOff(IsWow64(), [&] {
            WriteIniFile(general, texts, lines);
            const std::string logoPath = LogoFilePath();
            if (logoFile && !ReplaceFileBytes(logoPath, *logoFile))
                RaiseText(N_("Unable to copy the logo to %s"), {logoPath});
        });
    } catch (const std::exception&) {
        AttemptPutBack(restoreError, [&] { RestoreLegacyFiles(before); });
        throw;
    }
}

std::vector<std::string> ReadGeneralKeyNames()
{
    return WithRedirectionOff(IsWow64(), [] {
        const std::string path = IniFilePath();
        if (!IsExistingFile(path))
            return std::vector<std::string>();
        return TProfileFile(path).ReadKeyNames(GeneralSection, KeyNamesBufferChars);
    });
}

std::vector<TWideText> ReadIniWide(const TFieldList& fields)
{
    return WithRedirectionOff(IsWow64(), [&] {
        std::vector<TWideText> texts(fields.size());
        const std::string path = IniFilePath();
        if (!IsExistingFile(path))
            return texts;
        const TProfileFile profile(path);
        const TWideText general = ToWide(GeneralSection), support = ToWide(SupportSection);
        std::vector<TWideText> lines;
        for (const TWideText& name : profile.ReadWideKeyNames(support, KeyNamesBufferChars))
            lines.push_back(profile.ReadWideString(support, name, MaxValueChars));
        for (size_t i = 0; i < fields.size(); ++i) {
            const TOEMField& field = *fields[i];
            if (field.Legacy == TLegacyHome::GeneralKey)
                texts[i] = profile.ReadWideString(general, ToWide(field.Name), MaxValueChars);
            else if (field.Legacy == TLegacyHome::SupportLine && field.Line <= lines.size())
                texts[i] = lines[field.Line - 1];
        }
        return texts;
    });
}

const TOEMField* UncarriedField(const TFieldList& fields, const TStoredRecord& stored, const std::vector<bool>& given)
{
    if (!IsNtFamily())
        return nullptr;
    const std::vector<TWideText> wide = ReadIniWide(fields);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (given[i] || fields[i]->Legacy == TLegacyHome::LogoFile)
            continue;
        if (ToWide(stored.Values[i]) != wide[i])
            return fields[i];
    }
    return nullptr;
}
