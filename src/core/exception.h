#pragma once
// The program's error type: every error it raises carries a message that the
// standard exception display shows as it stands.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A text that does not read as the number it should be.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
