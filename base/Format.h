#pragma once
// Text rules shared by every layer; no Windows here, so they build natively.
#include <initializer_list>
#include <string>
#include <string_view>

// Fills the placeholders of a message template in order: "%s" takes the next
// argument as it is, "%d" the next argument too (callers pass numbers already
// formatted), "%%" gives "%". Anything else after a "%" stays verbatim, and a
// placeholder without an argument left stays as written. Templates may come
// from a translation catalog, so no printf-style parsing is trusted with them.
std::string FormatText(std::string_view templ, std::initializer_list<std::string_view> args);

// The error box's text: a full stop is appended when the message is not empty
// and its last character's code is greater than that of ".".
std::string WithFullStop(const std::string& message);

// The last element of a path: what follows its last "\\", "/" or ":" (the
// whole path when it has none); a view into `path`.
std::string_view LastPathElement(std::string_view path);

// The executable's file name without its directory, cut before its first ".";
// a view into `exePath`.
std::string_view ProgramNameFromPath(std::string_view exePath);
