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

TUsageError ParseShowOptions(const std::vector<std::string>& args, TCliRequest& request)
{
    const struct {
        const char* Name;
        TShowFormat Format;
    } formats[] = {{"json", TShowFormat::Json}, {"reg", TShowFormat::Reg}, {"unattend", TShowFormat::Unattend}};
    const std::string* formatArg = nullptr;
    const std::string* outArg = nullptr;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string_view option = OptionName(arg);
        const bool isFormat = StartsWithIgnoringCase(option, "format:");
        const bool isOut = StartsWithIgnoringCase(option, "out:");
        if (!isFormat && !isOut)
            return Quoted(arg) + " is no option of /show: give /format:json, /format:reg, /format:unattend or "
                                 "/out:file.";
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
        const std::string_view name = option.substr(7);
        bool known = false;
        for (const auto& format : formats) {
            if (SameIgnoringAsciiCase(name, format.Name)) {
                request.Format = format.Format;
                known = true;
            }
        }
        if (!known)
            return Quoted(arg) + " names no format of /show: json, reg or unattend.";
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
                    {"remove", TCliCommand::Remove},
                    {"help", TCliCommand::Help},
                    {"?", TCliCommand::Help}};
    bool known = false;
    for (const auto& c : commands) {
        if (SameIgnoringAsciiCase(command, c.Name)) {
            request.Command = c.Command;
            known = true;
        }
    }
    if (!known)
        return "Unknown command " + Quoted(args[0]) + ".";

    if (request.Command == TCliCommand::Show)
        return ParseShowOptions(args, request);
    if (request.Command != TCliCommand::Apply) {
        if (args.size() > 1)
            return Quoted(args[0]) + " takes no further arguments; " + Quoted(args[1]) + " is one too many.";
        return TUsageError();
    }
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        TFieldSource source;
        if (!arg.empty() && arg[0] == '@') {
            source = {true, arg.substr(1)};
        } else if (StartsWithIgnoringCase(OptionName(arg), "file:")) {
            source = {true, arg.substr(6)};
        } else if (!OptionName(arg).empty()) {
            return Quoted(arg) + " is no option of /apply: give fields as Name=Value, @file or /file:path.";
        } else {
            source = {false, arg};
        }
        if (source.IsFile && source.Text.empty())
            return Quoted(arg) + " names no file.";
        request.Sources.push_back(std::move(source));
    }
    if (request.Sources.empty())
        return "/apply needs the fields to write: Name=Value, @file or /file:path.";
    return TUsageError();
}

TUsageError ParseFieldArgument(const std::string& arg, TFieldAssignment& field)
{
    const size_t equals = arg.find('=');
    if (equals == std::string::npos || equals == 0)
        return Quoted(arg) + " is not of the form Name=Value.";
    field = {arg.substr(0, equals), arg.substr(equals + 1), "argument " + Quoted(arg)};
    return TUsageError();
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
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0)
            return where + " is not of the form Name=Value.";
        fields.push_back({std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)), where});
    }
    return TUsageError();
}

TUsageError CheckFields(const std::vector<TFieldAssignment>& fields, const TFieldSchema& schema,
                        std::vector<std::string>& values, std::vector<bool>& given)
{
    values.assign(schema.Names.size(), std::string());
    given.assign(schema.Names.size(), false);
    std::vector<const TFieldAssignment*> firstGiven(schema.Names.size(), nullptr);
    for (const TFieldAssignment& field : fields) {
        size_t index = 0;
        while (index < schema.Names.size() && !SameIgnoringAsciiCase(field.Name, schema.Names[index]))
            ++index;
        if (index == schema.Names.size()) {
            for (const std::string& other : schema.OtherMode)
                if (SameIgnoringAsciiCase(field.Name, other))
                    return Quoted(other) + " (" + field.Origin + ") is a field of " + schema.OtherModeName +
                           "; this Windows keeps the OEM information in " + schema.ModeName + ".";
            return "Unknown field " + Quoted(field.Name) + " (" + field.Origin + ").";
        }
        const std::string& name = schema.Names[index];
        if (firstGiven[index])
            return Quoted(name) + " is given twice: " + firstGiven[index]->Origin + " and " + field.Origin + ".";
        if (field.Value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
            return "The value of " + Quoted(name) + " (" + field.Origin + ") holds a line break.";
        const size_t maxLength = index < schema.MaxLengths.size() ? schema.MaxLengths[index] : schema.MaxValueLength;
        if (field.Value.size() > maxLength)
            return "The value of " + Quoted(name) + " (" + field.Origin + ") is " +
                   std::to_string(field.Value.size()) + " characters long; " + schema.ModeName + " takes at most " +
                   std::to_string(maxLength) + ".";
        firstGiven[index] = &field;
        values[index] = field.Value;
        given[index] = true;
    }
    return TUsageError();
}

namespace {

std::string NameList(const std::vector<std::string>& names)
{
    std::string list = "    ";
    size_t column = list.size();
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string item = names[i] + (i + 1 < names.size() ? "," : "");
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
    const std::string longest =
        registry.MaxValueLength == legacy.MaxValueLength
            ? std::to_string(registry.MaxValueLength)
            : std::to_string(registry.MaxValueLength) + " (" + registry.ModeName + ") or " +
                  std::to_string(legacy.MaxValueLength) + " (" + legacy.ModeName + ")";
    return "Sets the OEM information from a script. Without arguments Marquill opens its\r\n"
           "window.\r\n"
           "\r\n"
           "  Marquill /show [/format:json|reg|unattend] [/out:file]\r\n"
           "                         Writes the OEM information Windows keeps, one\r\n"
           "                         Name=Value per line, in the form /apply reads; or\r\n"
           "                         as JSON (UTF-8), as a .reg file for reg import\r\n"
           "                         (UTF-16) or as an answer file's OEMInformation\r\n"
           "                         element (UTF-8), the last two in " + registry.ModeName + "\r\n"
           "                         only. /out:file writes it to the file, whole or\r\n"
           "                         not at all.\r\n"
           "  Marquill /apply field [field ...]\r\n"
           "                         Writes the fields given; the others keep their values.\r\n"
           "                         A field is Name=Value (in quotes when it holds\r\n"
           "                         blanks), @file or /file:file (a file of such lines).\r\n"
           "  Marquill /remove       Removes all OEM information.\r\n"
           "  Marquill /?            Shows this text.\r\n"
           "\r\n"
           "Commands start with / or -; they and the field names are not case-sensitive.\r\n"
           "The value is everything after the first =, blanks included; Name= empties it.\r\n"
           "A value is one line of at most " + longest + " characters.\r\n"
           "\r\n"
           "Windows Vista and later (" + registry.ModeName + ") take:\r\n" + NameList(registry.Names) + "\r\n"
           "Older Windows (" + legacy.ModeName + ") take:\r\n" + NameList(legacy.Names) + "\r\n"
           "In " + legacy.ModeName + " Logo names a picture to copy as the logo (Logo= keeps the one\r\n"
           "there is), and empty lines are left out, the others renumbered.\r\n"
           "\r\n"
           "Field files are text in the ANSI code page; empty lines and lines starting\r\n"
           "with ; (comments) are passed over.\r\n"
           "\r\n"
           "Every field is checked before anything is written. Exit codes:\r\n"
           "  0  done\r\n"
           "  1  the store or the logo picture failed (the message says why); after a\r\n"
           "     failed write the values read before are written back\r\n"
           "  2  wrong command line or field file; nothing was written\r\n";
}

bool IsAbsoluteHttpUrl(std::string_view text)
{
    std::string_view rest;
    for (std::string_view scheme : {"http://", "https://"})
        if (StartsWithIgnoringCase(text, scheme))
            rest = text.substr(scheme.size());
    if (rest.empty() || rest[0] == '/' || rest[0] == '?' || rest[0] == '#')
        return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == '\x7F')
            return false;
    return true;
}
