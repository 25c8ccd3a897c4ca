#pragma once
// What /apply would leave in the store, beside what the store holds now:
// the one model that /test compares with and /apply writes from, so that a
// /test that says "compliant" and an /apply that says "unchanged" always
// mean the same store. Decided here, in bytes, once: the values as they
// would be stored, and whether the logo is copied or converted.
#include "oeminfo/OEMFields.h"
#include "oeminfo/StoreTypes.h"
#include "picture/Picture.h"

#include <memory>
#include <string>
#include <vector>

// What a request asks of one field.
struct TFieldRequest {
    bool Given = false;
    bool Absent = false;  // registry mode: the value must be absent
    bool Expand = false;  // registry mode: stored as REG_EXPAND_SZ
    std::string Value;
};

// The picture a request gives as its Logo, checked before the lock is taken
// where Windows' own reader finds it (LoadLogoAsWindowsReads).
struct TRequestedLogo {
    std::string StoredText;             // what the store's Logo would hold
    std::unique_ptr<TPicture> Picture;  // nullptr when no picture is given
};
TRequestedLogo CheckRequestedLogo(const TFieldList& fields, const std::vector<TFieldRequest>& requests);

// One field that differs: as the store holds it and as it would be. In
// registry mode its type and bytes; in legacy mode Bytes is its text.
struct TFieldChange {
    std::string Name;
    TStoredBytes Before, After;
};

struct TStoreChange {
    TStoreMode Mode = TStoreMode::Registry;
    // Registry mode: the values /apply sets or deletes, as they are and as
    // they would be.
    TFieldList Values;
    std::vector<TStoredBytes> Before, After;
    // Legacy mode: both store files as they are, and the whole record
    // /apply writes (WriteLegacyRecord's texts).
    TLegacyFiles Files;
    TFieldList RecordFields;
    std::vector<std::string> Record;
    // The oemlogo.bmp /apply would install (legacy) or convert (registry)
    // differs from the one there is: its bytes now, and as they would be.
    bool LogoFileDiffers = false;
    TStoredBytes LogoFileBefore;
    std::string LogoFileBytes;
    // One entry per field that differs, in /show order.
    std::vector<TFieldChange> Changes;
    // Registry mode, one per field of the mode: whether the store holds the
    // text given for it (a web address restored as it was passes the URL
    // rule).
    std::vector<bool> StoredAsGiven;
};

// Reads the store of `mode` strictly (a store that cannot be read raises
// its error) and sets it beside what `requests` (one per field of
// OEMFieldsIn(mode)) and `logo` ask for. In legacy mode a stored text that
// the rewrite would change, and that is not given, raises an error.
TStoreChange ReadStoreChange(TStoreMode mode, const std::vector<TFieldRequest>& requests,
                             const TRequestedLogo& logo);

// /apply's writes of a change: in registry mode only the values that
// differ, each with the type and bytes it is to hold, a converted logo's
// file first; in legacy mode oeminfo.ini as Apply writes it, the fields not
// given carried as they are, and the logo file when it differs. Raises
// ENothingWritten when nothing was written; a failure part-way writes back
// what was there before and raises the failure, `restoreError` then saying
// what could not be put back.
void WriteStoreChange(const TStoreChange& change, std::string& restoreError);
