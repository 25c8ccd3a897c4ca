// The standard-text error, raised in one place.
#include "base/Error.h"

#include "base/Format.h"
#include "base/ResText.h"

void RaiseText(const char* englishTemplate, std::initializer_list<std::string_view> args)
{
    throw EMarquillError(FormatText(ResText(englishTemplate), args));
}

void AppendError(std::string& errors, std::string_view next)
{
    if (!errors.empty())
        errors += ". ";
    errors += next;
}
