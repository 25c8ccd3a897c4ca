#pragma once
// /apply and /test as the command line prints them, and /show's backup
// lines: the request parsed into what each field asks, the store's model of
// the change (oeminfo/StoreChange) shown as change lines and a summary.
#include "cli/CliRules.h"
#include "cli/ConsoleOut.h"
#include "oeminfo/OEMFields.h"

#include <string>

// /show's default format: one FieldLine per field of `mode`, read
// strictly, each ending in CR LF; false, with the reason naming the field,
// when a stored value is one /apply could not put back with the same type
// and bytes (registry mode), or the same text (legacy mode).
bool BackupText(TStoreMode mode, std::string& text, std::string& error);

// /apply and /test, from reading the request to the last line.
int ApplyOrTest(TStoreMode mode, const TCliRequest& request, TConsoleOut& out, TConsoleOut& err);
