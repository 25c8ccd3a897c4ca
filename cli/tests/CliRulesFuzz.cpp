// Field files and command lines come from scripts: any bytes must be read
// without a fault, and whatever is accepted must hold what the rules promise.
#include "cli/CliRules.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<TFieldAssignment> fields;
    if (ParseFieldFile(bytes, "f", fields).empty()) {
        for (const TFieldAssignment& field : fields)
            if (field.Name.empty() || field.Name.find_first_of("=(") != std::string::npos ||
                field.Value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
                std::abort();
        const TFieldSchema schema = SchemaOf(TStoreMode::Legacy);
        const TFieldSchema registry = SchemaOf(TStoreMode::Registry);
        std::vector<TGivenField> given;
        CheckFields(fields, schema, given);
        // What a mode takes, /show writes back in a form that reads the same.
        if (CheckFields(fields, registry, given).empty()) {
            for (size_t i = 0; i < given.size(); ++i) {
                if (!given[i].Given)
                    continue;
                TFieldAssignment again;
                std::vector<TGivenField> reread;
                if (!ParseFieldArgument(FieldLine(registry.Fields[i]->Name, given[i]), again).empty() ||
                    !CheckFields({again}, registry, reread).empty() ||
                    FieldLine(registry.Fields[i]->Name, reread[i]) != FieldLine(registry.Fields[i]->Name, given[i]))
                    std::abort();
            }
        }
    }
    for (const std::string& arg : SplitCommandLine(bytes)) {
        TCliRequest request;
        ParseArguments({arg, arg}, request);
    }
    return 0;
}
