#pragma once
// /show's machine-readable forms (cli/ShowFormats.h) fed from the store in
// force, and /show's output, wherever it goes.
#include "cli/CliRules.h"
#include "cli/ShowFormats.h"
#include "oeminfo/OEMFields.h"
#include "oeminfo/StrictStore.h"

#include <string>

// The store read for the forms: every field with its presence and, in
// registry mode, its type and exact bytes (legacy mode: the texts the wide
// profile functions read); the OEM values that only the 32-bit registry
// view holds; and the logo as a file that exists and loads, or not. Reads
// as strictly as /show does: a store that cannot be read raises
// EMarquillError with the reason. A logo that is missing or does not load
// is no error: the result says so.
TShownStore ReadShownStore(TStoreMode mode);

// A value as the store holds it (its type and bytes, or absent), as the
// formats and the change lines show it.
TShownValue ShownValue(const char* name, const TStoredBytes& stored);

// `store` in `format` (not Text).
TFormatResult FormatShown(TShowFormat format, const TShownStore& store);

// Puts `bytes` in the file `path` whole or not at all: written beside it
// under a fixed name, then put in its place, so that a failure leaves the
// file that was there (or none) and no part of the new one. False, with
// the reason in English, when that fails.
bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string& error);
