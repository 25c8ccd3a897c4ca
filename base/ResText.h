#pragma once
// Standard texts of the program (error messages, the picture dialog's labels)
// are written in English where they are defined and marked with N_() for
// xgettext. They are looked up in the "default" text domain when they are
// loaded, before any placeholder is filled, through the hook the translation
// layer installs at start; until then, and without it, the English text stands.
#include <string>

#define N_(text) text

using TResTextHook = std::string (*)(const std::string& english);

void SetResTextHook(TResTextHook hook);

// The text to show for the English standard text `english`.
std::string ResText(const char* english);
