#pragma once
// What /apply would leave in the store, beside what the store holds now:
// the one model that /test compares with and /apply writes from, so that a
// /test that says "compliant" and an /apply that says "unchanged" always
// mean the same store.
#include "cli/CliRules.h"
#include "cli/CommandLine.h"
#include "cli/ShowFormats.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StrictStore.h"
#include "picture/Picture.h"

#include <memory>
#include <string>
#include <vector>

// The picture a request gives as its Logo, checked before the lock is taken.
// Texts are the mode's: UTF-8 in registry mode (where the path must be one
// the ANSI code page holds), the ANSI code page in legacy mode.
struct TRequestedLogo {
    std::string StoredText;             // what the store's Logo would hold
    std::unique_ptr<TPicture> Picture;  // nullptr when no picture is given
};
TRequestedLogo CheckRequestedLogo(TStoreMode mode, const std::vector<TGivenField>& given);

struct TDesiredState {
    TStoreMode Mode = TStoreMode::Registry;
    // Registry mode: the values /apply sets or deletes, as they are and as
    // they would be.
    TFieldList Values;
    std::vector<TStoredBytes> Before, After;
    // Legacy mode: both store files as they are, and the whole record
    // /apply writes (WriteLegacyRecord's texts).
    std::vector<TStoredBytes> Files;
    TFieldList RecordFields;
    std::vector<std::string> Record;
    // The picture checked for the Logo given, installed from its bytes;
    // nullptr when none is given.
    const TPicture* Logo = nullptr;
    // The oemlogo.bmp /apply would install (legacy) or convert (registry)
    // differs from the one there is: its bytes now, and as they would be.
    bool LogoFileDiffers = false;
    TStoredBytes LogoFileBefore;
    std::string LogoFileBytes;
    // One entry per field that differs, in /show order, for ChangeLine.
    std::vector<TShownValue> ShownBefore, ShownAfter;
    // A given web address that breaks the URL rule.
    TUsageError UrlRuleError;
};

// Reads the store of `mode` strictly (a store that cannot be read raises
// its error) and sets it beside what `given` (one entry per field of
// `schema`, in OEMFieldsIn order) and `logo` ask for.
TDesiredState ReadDesiredState(TStoreMode mode, const TFieldSchema& schema, const std::vector<TGivenField>& given,
                               const TRequestedLogo& logo);

// The value /apply sets for `text` (UTF-8): REG_EXPAND_SZ when `expand`,
// else REG_SZ, with its terminating NUL, as the wide query reads it back.
TStoredBytes RegistryValueOf(bool expand, const std::string& text);

// /show's default format: one FieldLine per field of `mode`, read
// strictly, each ending in CR LF, in UTF-8 with a byte-order mark when some
// value is not ASCII (plain ASCII otherwise); false, with the reason naming
// the field, when a stored value is one /apply could not put back with the
// same type and bytes (registry mode), or the same text (legacy mode).
bool BackupText(TStoreMode mode, std::string& text, std::string& error);

// /apply and /test, from reading the request to the last line.
int ApplyOrTest(TStoreMode mode, const TCliRequest& request, TConsoleOut& out, TConsoleOut& err);

// From CommandLine.cpp: /apply's writes of a state that differs, giving
// the exit code (a failure reported on `err`, what was there before written
// back); the fields of a mode; a usage error reported.
int WriteDesiredState(const TDesiredState& state, TConsoleOut& err);
TFieldSchema SchemaOf(TStoreMode mode);
int UsageError(TConsoleOut& err, const TUsageError& error);
// The usage error for a path (`subject` names where it was given) that
// holds a character the ANSI code page lacks: files are opened through the
// ANSI functions.
TUsageError UnopenablePath(const std::string& subject);
