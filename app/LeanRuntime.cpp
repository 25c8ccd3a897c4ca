// The C++ library's failure paths as the shipped program takes them, linked
// into Marquill.exe alone (the test programs keep the library's own).
//
// The library's versions pull in more than they are worth to a windowed
// program: its handler for an uncaught exception links the whole demangler
// (some 45 KB) to print to a stderr that is not there, and its helpers that
// throw length_error, out_of_range and logic_error bring a second,
// reference-counted string implementation with them (some 45 KB more).
// These throw exceptions the program's handlers catch like any other, with
// the library's own text, and abort where the library aborts.
#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>

namespace {

class TLibraryFault : public std::exception {
public:
    explicit TLibraryFault(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc()
{
    throw std::bad_alloc();
}
void __throw_bad_array_new_length()
{
    throw std::bad_array_new_length();
}
void __throw_length_error(const char* what)
{
    throw TLibraryFault(what);
}
void __throw_logic_error(const char* what)
{
    throw TLibraryFault(what);
}
// The arguments only fill in numbers; the text says what went wrong.
void __throw_out_of_range_fmt(const char* format, ...)
{
    throw TLibraryFault(format);
}
}  // namespace std
