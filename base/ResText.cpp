// The standard texts and the hook that translates them.
#include "ResText.h"

namespace {
TResTextHook g_hook = nullptr;
}

void SetResTextHook(TResTextHook hook)
{
    g_hook = hook;
}

std::string ResText(const char* english)
{
    return g_hook ? g_hook(english) : std::string(english);
}
