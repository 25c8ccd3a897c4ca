#pragma once
// The rules of the command-line mode that know no window and no store: how
// the command line splits into arguments, which command they ask for, how a
// field file reads, and which fields a store mode takes. Nothing here calls
// Windows, so it also builds natively, under sanitizers and the fuzzer.
//
// Every check returns a usage error: the English text to show, empty when
// there is none.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/WebAddress.h"
#include "base/WideText.h"
#include "oeminfo/OEMFields.h"

using TUsageError = std::string;

// The arguments of a command line as GetCommandLineA gives it, the program
// name first (and dropped), split by the rules of the system's C runtime
// (msvcrt.dll): blanks and tabs separate arguments outside double quotes;
// 2n backslashes before a quote give n backslashes and the quote opens or
// closes a quoted part; 2n+1 give n backslashes and a literal quote; other
// backslashes are literal; "" inside a quoted part gives one quote and ends
// the part. The program name ends at the next quote when it starts with one,
// else at the first blank, and knows no backslash rule.
// The wide command line (GetCommandLineW) splits by the same rules.
std::vector<std::string> SplitCommandLine(std::string_view line);
std::vector<TWideText> SplitCommandLine(TWideView line);

enum class TCliCommand { Show, Apply, Test, Remove, Help };

// One place fields come from: a "Name=Value" argument, or a field file
// ("@path" or "/file:path").
struct TFieldSource {
    bool IsFile = false;
    std::string Text;  // the argument, or the file's path
};

// The forms /show writes: its own Name=Value lines, or one of ShowFormats.h.
enum class TShowFormat { Text, Json, Reg, Unattend, AnswerFile };

struct TCliRequest {
    TCliCommand Command = TCliCommand::Help;
    std::vector<TFieldSource> Sources;       // apply and test only, in the order given
    TShowFormat Format = TShowFormat::Text;  // show only
    std::string OutPath;                     // show only: the /out file; empty for standard output
};

// The command and its operands. Commands start with "/" or "-" and are
// matched without regard to case: show, apply, test, remove, help and "?".
// /test takes the operands /apply takes. Show takes "/format:json",
// "/format:reg" or "/format:unattend" (the name without regard to case) and
// "/out:file", each at most once.
TUsageError ParseArguments(const std::vector<std::string>& args, TCliRequest& request);

// One field as written, and where it was written (for messages):
//   Name=Value             the value, everything after the first "=", untrimmed
//   Name                   the value must be absent (registry mode deletes it)
//   Name(expand)=Value     the value is REG_EXPAND_SZ, kept unexpanded
//   Name(asis)=Value       a web address taken as it is, without the URL rule
// Markers follow the name, before "=", in either order, letter case ignored.
struct TFieldAssignment {
    std::string Name;  // without its markers
    std::string Value;
    std::string Origin;  // `argument "Model=X"` or `oem.txt, line 3`
    bool Absent = false;
    bool Expand = false;
    bool AsIs = false;
};

TUsageError ParseFieldArgument(const std::string& arg, TFieldAssignment& field);

// Limits on field files: no field file of ours comes near this size.
constexpr size_t MaxFieldFileBytes = 1024 * 1024;

// The bytes of a field file (named `fileName` in messages): one "Name=Value"
// per line, lines ending in CR LF or LF; empty lines, lines of blanks only
// and lines whose first character is ";" (comments) are passed over. A NUL
// anywhere, a CR not followed by LF, a line without "=", and a file that
// starts with a Unicode byte-order mark (texts are in the ANSI code page)
// are errors. A line is read as an argument is.
TUsageError ParseFieldFile(std::string_view bytes, const std::string& fileName,
                           std::vector<TFieldAssignment>& fields);

// The fields a store mode takes: the field table's rows of that mode, which
// say each one's name, its longest value and whether it is a web address.
struct TFieldSchema {
    std::string ModeName;                // "registry mode"
    TFieldList Fields;                   // in /show order
    std::vector<std::string> OtherMode;  // the other mode's names this one lacks
    std::string OtherModeName;
    // Whether the mode takes a bare name and the markers (registry mode).
    bool TakesMarkers = false;
};

// The schema of `mode`, from the field table.
TFieldSchema SchemaOf(TStoreMode mode);

// What was asked of one field of a schema.
struct TGivenField {
    bool Given = false;
    bool Absent = false;  // given as a bare name
    bool Expand = false;
    bool AsIs = false;
    std::string Value;
    std::string Origin;
};

// Checks every assignment against `schema`: each name known in this mode
// (letter case ignored), none given twice, a bare name or a marker only
// where the mode takes them, (asis) only on a web-address field, no value
// that the field cannot take (ValueRefusal). On success `fields[i]` is what
// was asked of `schema.Fields[i]`.
TUsageError CheckFields(const std::vector<TFieldAssignment>& assignments, const TFieldSchema& schema,
                        std::vector<TGivenField>& fields);

// Why the field `index` of `schema` cannot take `value` ("holds a line
// break or a NUL character", "is N characters long; registry mode takes at
// most M"); empty when it can.
std::string ValueRefusal(const TFieldSchema& schema, size_t index, const std::string& value);

// The URL rule: the first web-address field given a non-empty value that
// differs from the stored one (`storedAsGiven[i]` false), carries no (asis)
// and is no absolute web address, as a usage error; empty when none is. A
// backup restored puts back what was stored, so the rule never refuses it.
TUsageError CheckWebAddresses(const TFieldSchema& schema, const std::vector<TGivenField>& fields,
                              const std::vector<bool>& storedAsGiven);

// The line /show writes for a field, without its line end, in the form
// CheckFields reads back into `field`.
std::string FieldLine(const std::string& name, const TGivenField& field);

// The usage text of `help`, and the hint appended to every usage error.
std::string HelpText(const TFieldSchema& registry, const TFieldSchema& legacy);
extern const char UsageHint[];

