#pragma once
// The one kind of failure the program raises: an error carrying the message
// text the user will read. There are no error codes in any interface.
#include <stdexcept>
#include <string>

class EMarquillError : public std::runtime_error {
public:
    explicit EMarquillError(const std::string& message) : std::runtime_error(message) {}
};
