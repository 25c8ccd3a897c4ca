#pragma once
// The one kind of failure the program raises: an error carrying the message
// text the user will read. There are no error codes in any interface.
//
// Not a std::runtime_error: that one keeps its text in the library's older,
// reference-counted string, whose code would double the string code the
// program carries.
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

class EMarquillError : public std::exception {
public:
    explicit EMarquillError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Raises the standard text `englishTemplate` (marked N_()) in the user's
// language, looked up before its placeholders are filled with `args`.
[[noreturn]] void RaiseText(const char* englishTemplate, std::initializer_list<std::string_view> args = {});

// Adds `next` to `errors`, the report of a change that puts back what it
// did when it fails: the first error stands first, each later one is
// appended as a sentence of its own.
void AppendError(std::string& errors, std::string_view next);
