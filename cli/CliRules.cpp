#include "cli/CliRules.h"

#include "base/AsciiCase.h"

namespace {

// What separates arguments on a command line and a field file's name from
// its text.
template <class C> bool IsSpaceOrTab(C c)
{
    return c == ' ' || c == '\t';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// "/x" or "-x": the option's name, else empty.
std::string_view OptionName(std::string_view arg)
{
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return std::string_view();
    return arg.substr(1);
}

}  // namespace

const char UsageHint[] = "Type Marquill /? for the commands and the fields.";

namespace {

template <class C, class T> std::vector<std::basic_string<C, T>> SplitLine(std::basic_string_view<C, T> line)
{
    size_t i = 0;
    if (i < line.size() && line[i] == C('"')) {
        ++i;
        while (i < line.size() && line[i] != C('"'))
            ++i;
        if (i < line.size())
            ++i;
    } else {
        while (i < line.size() && !IsSpaceOrTab(line[i]))
            ++i;
    }

    std::vector<std::basic_string<C, T>> args;
    for (;;) {
        while (i < line.size() && IsSpaceOrTab(line[i]))
            ++i;
        if (i >= line.size())
            return args;
        std::basic_string<C, T> arg;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsSpaceOrTab(line[i]))) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == C('\\')) {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == C('"')) {
                arg.append(backslashes / 2, C('\\'));
                if (backslashes % 2 == 1) {
                    arg += C('"');
                } else if (quoted && i + 1 < line.size() && line[i + 1] == C('"')) {
                    arg += C('"');
                    ++i;
                    quoted = false;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(backslashes, C('\\'));
                if (i < line.size() && (quoted || !IsSpaceOrTab(line[i])))
                    arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line)
{
    return SplitLine(line);
}

std::vector<TWideText> SplitCommandLine(TWideView line)
{
    return SplitLine(line);
}

namespace {

// The entry of `table` named `name`, letter case ignored; null for none.
template <class TEntry, size_t N> const TEntry* FindNamed(const TEntry (&table)[N], std::string_view name)
{
    for (const TEntry& entry : table)
        if (SameIgnoringAsciiCase(name, entry.Name))
            return &entry;
    return nullptr;
}

TUsageError ParseShowOptions(const std::vector<std::string>& args, TCliRequest& request)
{
    const struct {
        const char* Name;
        TShowFormat Format;
    } formats[] = {{"json", TShowFormat::Json},
                   {"reg", TShowFormat::Reg},
                   {"unattend", TShowFormat::Unattend},
                   {"answerfile", TShowFormat::AnswerFile}};
    const std::string* formatArg = nullptr;
    const std::string* outArg = nullptr;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string_view option = OptionName(arg);
        const bool isFormat = StartsWithIgnoringCase(option, "format:");
        const bool isOut = StartsWithIgnoringCase(option, "out:");
        if (!isFormat && !isOut)
            return Quoted(arg) + " is no option of /show: give /format:json, /format:reg, /format:unattend, "
                                 "/format:answerfile or /out:file.";
        const std::string*& seen = isFormat ? formatArg : outArg;
        if (seen)
            return Quoted(*seen) + " and " + Quoted(arg) + " ask for the same option twice.";
        seen = &arg;
        if (isOut) {
            request.OutPath = arg.substr(5);
            if (request.OutPath.empty())
                return Quoted(arg) + " names no file.";
            continue;
        }
        const auto* format = FindNamed(formats, option.substr(7));
        if (!format)
            return Quoted(arg) + " names no format of /show: json, reg, unattend or answerfile.";
        request.Format = format->Format;
    }
    return TUsageError();
}

}  // namespace

TUsageError ParseArguments(const std::vector<std::string>& args, TCliRequest& request)
{
    request = TCliRequest();
    if (args.empty())
        return "No command given.";
    const std::string_view command = OptionName(args[0]);
    const struct {
        const char* Name;
        TCliCommand Command;
    } commands[] = {{"show", TCliCommand::Show},
                    {"apply", TCliCommand::Apply},
                    {"test", TCliCommand::Test},
                    {"remove", TCliCommand::Remove},
                    {"help", TCliCommand::Help},
                    {"?", TCliCommand::Help}};
    const auto* known = FindNamed(commands, command);
    if (!known)
        return "Unknown command " + Quoted(args[0]) + ".";
    request.Command = known->Command;

    if (request.Command == TCliCommand::Show)
        return ParseShowOptions(args, request);
    if (request.Command != TCliCommand::Apply && request.Command != TCliCommand::Test) {
        if (args.size() > 1)
            return Quoted(args[0]) + " takes no further arguments; " + Quoted(args[1]) + " is one too many.";
        return TUsageError();
    }
    const std::string name = request.Command == TCliCommand::Apply ? "/apply" : "/test";
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        TFieldSource source;
        if (!arg.empty() && arg[0] == '@') {
            source = {true, arg.substr(1)};
        } else if (StartsWithIgnoringCase(OptionName(arg), "file:")) {
            source = {true, arg.substr(6)};
        } else if (!OptionName(arg).empty()) {
            return Quoted(arg) + " is no option of " + name + ": give fields as Name=Value, @file or /file:path.";
        } else {
            source = {false, arg};
        }
        if (source.IsFile && source.Text.empty())
            return Quoted(arg) + " names no file.";
        request.Sources.push_back(std::move(source));
    }
    if (request.Sources.empty())
        return name + (request.Command == TCliCommand::Apply ? " needs the fields to write" : " needs the fields to compare") +
               ": Name=Value, @file or /file:path.";
    return TUsageError();
}

namespace {

// `text` is an argument or a file's line; `subject` names it in the message
// for a missing name.
TUsageError ParseField(std::string_view text, const std::string& subject, std::string origin, TFieldAssignment& field)
{
    field = TFieldAssignment();
    field.Origin = std::move(origin);
    const size_t equals = text.find('=');
    field.Absent = equals == std::string_view::npos;
    if (!field.Absent)
        field.Value = std::string(text.substr(equals + 1));
    const std::string_view head = text.substr(0, equals);
    size_t at = head.find('(');
    field.Name = std::string(head.substr(0, at));
    if (field.Name.empty())
        return subject + " is not of the form Name=Value.";
    while (at < head.size()) {
        const size_t close = head.find(')', at);
        const std::string_view marker = head.substr(at, close == std::string_view::npos ? close : close + 1 - at);
        bool* flag = SameIgnoringAsciiCase(marker, "(expand)") ? &field.Expand
                     : SameIgnoringAsciiCase(marker, "(asis)") ? &field.AsIs
                                                               : nullptr;
        if (!flag || *flag)
            return Quoted(marker) + " (" + field.Origin + ") is no marker, or one given twice: use (expand) or (asis).";
        *flag = true;
        at += marker.size();
    }
    if (field.Absent && (field.Expand || field.AsIs))
        return Quoted(head) + " (" + field.Origin + ") gives a marker without a value: a bare name asks for no value.";
    return TUsageError();
}

bool IsWebAddressField(const TFieldSchema& schema, size_t index)
{
    return schema.Fields[index]->Kind == TFieldKind::Url;
}

// The longest value any field of `schema` takes.
size_t LongestValue(const TFieldSchema& schema)
{
    size_t longest = 0;
    for (const TOEMField* field : schema.Fields)
        longest = field->MaxLength > longest ? field->MaxLength : longest;
    return longest;
}

const char* ModeName(TStoreMode mode)
{
    return mode == TStoreMode::Legacy ? "legacy mode" : "registry mode";
}

}  // namespace

TUsageError ParseFieldArgument(const std::string& arg, TFieldAssignment& field)
{
    return ParseField(arg, Quoted(arg), "argument " + Quoted(arg), field);
}

TUsageError ParseFieldFile(std::string_view bytes, const std::string& fileName, std::vector<TFieldAssignment>& fields)
{
    if (bytes.size() > MaxFieldFileBytes)
        return fileName + " is larger than a field file can be (" + std::to_string(MaxFieldFileBytes) + " bytes).";
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF" || bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return fileName + " is Unicode text (it starts with a byte-order mark); save it in the ANSI code page.";

    size_t lineNumber = 0;
    for (size_t start = 0; start < bytes.size();) {
        ++lineNumber;
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = next;
        if (!line.empty() && line.back() == '\r' && end < bytes.size())
            line.remove_suffix(1);

        const std::string where = fileName + ", line " + std::to_string(lineNumber);
        if (line.find('\0') != std::string_view::npos)
            return where + " holds a NUL character.";
        if (line.find('\r') != std::string_view::npos)
            return where + " holds a carriage return that ends no line.";
        size_t firstText = 0;
        while (firstText < line.size() && IsSpaceOrTab(line[firstText]))
            ++firstText;
        if (firstText == line.size() || line[0] == ';')
            continue;
        TFieldAssignment field;
        const TUsageError error = ParseField(line, where, where, field);
        if (!error.empty())
            return error;
        fields.push_back(std::move(field));
    }
    return TUsageError();
}

std::string ValueRefusal(const TFieldSchema& schema, size_t index, const std::string& value)
{
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        return "holds a line break or a NUL character";
    const size_t maxLength = schema.Fields[index]->MaxLength;
    if (value.size() > maxLength)
        return "is " + std::to_string(value.size()) + " characters long; " + schema.ModeName + " takes at most " +
               std::to_string(maxLength);
    return std::string();
}

TUsageError CheckFields(const std::vector<TFieldAssignment>& assignments, const TFieldSchema& schema,
                        std::vector<TGivenField>& fields)
{
    fields.assign(schema.Fields.size(), TGivenField());
    for (const TFieldAssignment& field : assignments) {
        size_t index = 0;
        while (index < schema.Fields.size() && !SameIgnoringAsciiCase(field.Name, schema.Fields[index]->Name))
            ++index;
        if (index == schema.Fields.size()) {
            for (const std::string& other : schema.OtherMode)
                if (SameIgnoringAsciiCase(field.Name, other))
                    return Quoted(other) + " (" + field.Origin + ") is a field of " + schema.OtherModeName +
                           "; this Windows keeps the OEM information in " + schema.ModeName + ".";
            return "Unknown field " + Quoted(field.Name) + " (" + field.Origin + ").";
        }
        const std::string name = schema.Fields[index]->Name;
        if (fields[index].Given)
            return Quoted(name) + " is given twice: " + fields[index].Origin + " and " + field.Origin + ".";
        if (!schema.TakesMarkers && (field.Absent || field.Expand || field.AsIs))
            return Quoted(name) + " (" + field.Origin + ") is no Name=Value: a bare name, (expand) and (asis) "
                   "are for registry mode, and this Windows keeps the OEM information in " + schema.ModeName + ".";
        if (field.AsIs && !IsWebAddressField(schema, index))
            return "(asis) (" + field.Origin + ") is for the fields whose value must be a web address; " +
                   Quoted(name) + " is none.";
        const std::string refusal = field.Absent ? std::string() : ValueRefusal(schema, index, field.Value);
        if (!refusal.empty())
            return "The value of " + Quoted(name) + " (" + field.Origin + ") " + refusal + ".";
        fields[index] = {true, field.Absent, field.Expand, field.AsIs, field.Value, field.Origin};
    }
    return TUsageError();
}

TUsageError CheckWebAddresses(const TFieldSchema& schema, const std::vector<TGivenField>& fields,
                              const std::vector<bool>& storedAsGiven)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        const TGivenField& field = fields[i];
        if (!IsWebAddressField(schema, i) || !field.Given || field.Absent || field.AsIs || field.Value.empty() ||
            (i < storedAsGiven.size() && storedAsGiven[i]) || IsAbsoluteHttpUrl(field.Value))
            continue;
        const std::string name = schema.Fields[i]->Name;
        return "The value of " + Quoted(name) + " (" + field.Origin +
               ") is no absolute web address: start it with http:// or https://, or give it as " +
               name + "(asis)=... to take it as it is.";
    }
    return TUsageError();
}

std::string FieldLine(const std::string& name, const TGivenField& field)
{
    if (field.Absent)
        return name;
    return name + (field.Expand ? "(expand)" : "") + (field.AsIs ? "(asis)" : "") + "=" + field.Value;
}

namespace {

std::string NameList(const TFieldList& names)
{
    std::string list = "    ";
    size_t column = list.size();
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string item = names[i]->Name + std::string(i + 1 < names.size() ? "," : "");
        if (i > 0 && column + 1 + item.size() > 78) {
            list += "\r\n    ";
            column = 4;
        } else if (i > 0) {
            list += ' ';
            ++column;
        }
        list += item;
        column += item.size();
    }
    return list;
}

}  // namespace

std::string HelpText(const TFieldSchema& registry, const TFieldSchema& legacy)
{
    const size_t registryLongest = LongestValue(registry), legacyLongest = LongestValue(legacy);
    const std::string longest =
        registryLongest == legacyLongest
            ? std::to_string(registryLongest)
            : std::to_string(registryLongest) + " (" + registry.ModeName + ") or " + std::to_string(legacyLongest) +
                  " (" + legacy.ModeName + ")";
    std::string webAddresses;
    for (size_t i = 0; i < registry.Fields.size(); ++i)
        if (IsWebAddressField(registry, i))
            webAddresses += (webAddresses.empty() ? "" : ", ") + std::string(registry.Fields[i]->Name);
    return "Sets the OEM information from a script. Without arguments Marquill opens its\r\n"
           "window.\r\n"
           "\r\n"
           "  Marquill /show [/format:json|reg|unattend|answerfile] [/out:file]\r\n"
           "                         Writes the OEM information Windows keeps, one\r\n"
           "                         field per line, in the form /apply reads: a backup;\r\n"
           "                         or as JSON (UTF-8), as a .reg file for reg import\r\n"
           "                         (UTF-16), as an answer file's OEMInformation\r\n"
           "                         element or as a whole answer file (UTF-8), the\r\n"
           "                         last three in " + registry.ModeName + " only. /out:file\r\n"
           "                         writes it to the file, whole or not at all.\r\n"
           "  Marquill /apply field [field ...]\r\n"
           "                         Writes the fields given; the others keep their values.\r\n"
           "                         A field is Name=Value (in quotes when it holds\r\n"
           "                         blanks), @file or /file:file (a file of such lines).\r\n"
           "                         Prints a line per changed field, then \"changed N\r\n"
           "                         fields\", or \"unchanged\" when nothing was written.\r\n"
           "  Marquill /test field [field ...]\r\n"
           "                         Writes nothing: prints a line per field that differs\r\n"
           "                         from what /apply would leave, then \"compliant\" or\r\n"
           "                         \"drift in N fields\".\r\n"
           "  Marquill /remove       Removes all OEM information.\r\n"
           "  Marquill /?            Shows this text.\r\n"
           "\r\n"
           "Commands start with / or -; they and the field names are not case-sensitive.\r\n"
           "The value is everything after the first =, blanks included; Name= empties it.\r\n"
           "A value is one line of at most " + longest + " characters.\r\n"
           "In " + registry.ModeName + " a bare Name (no =) means the value must be absent (/apply\r\n"
           "deletes it); Name(expand)=Value stores it as REG_EXPAND_SZ, unexpanded.\r\n"
           "A non-empty " + webAddresses + " that differs from the stored value must\r\n"
           "start with http:// or https://; Name(asis)=Value takes it as it is.\r\n"
           "What /show prints, /apply puts back exactly; a stored value it could not\r\n"
           "put back makes /show fail, naming the field.\r\n"
           "\r\n"
           "Windows Vista and later (" + registry.ModeName + ") take:\r\n" + NameList(registry.Fields) + "\r\n"
           "Older Windows (" + legacy.ModeName + ") take:\r\n" + NameList(legacy.Fields) + "\r\n"
           "In " + legacy.ModeName + " Logo names a picture to copy as the logo (Logo= keeps the one\r\n"
           "there is), and empty lines are left out, the others renumbered.\r\n"
           "\r\n"
           "Field files are text in the ANSI code page; empty lines and lines starting\r\n"
           "with ; (comments) are passed over.\r\n"
           "\r\n"
           "Every field is checked before anything is written. Exit codes:\r\n"
           "  0  done; /test: compliant\r\n"
           "  1  the store or the logo picture failed (the message says why); after a\r\n"
           "     failed write the values read before are written back; /test: drift,\r\n"
           "     or the store could not be read\r\n"
           "  2  wrong command line or field file; nothing was written\r\n";
}

TFieldSchema SchemaOf(TStoreMode mode)
{
    const TStoreMode other = mode == TStoreMode::Legacy ? TStoreMode::Registry : TStoreMode::Legacy;
    TFieldSchema schema;
    schema.ModeName = ModeName(mode);
    schema.OtherModeName = ModeName(other);
    schema.TakesMarkers = mode == TStoreMode::Registry;
    schema.Fields = OEMFieldsIn(mode);
    for (const TOEMField* field : OEMFieldsIn(other))
        if (!IsStoredIn(*field, mode))
            schema.OtherMode.push_back(field->Name);
    return schema;
}
