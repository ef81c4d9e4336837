#pragma once

#include <exception>
#include <string>
#include <utility>

namespace fw {

// Base of every failure the framework raises: a message text and nothing else.
class Exception : public std::exception {
public:
    explicit Exception(std::string message);

    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// The silent exception: the application's handler swallows it without a message box.
class EAbort : public Exception {
public:
    EAbort();
    explicit EAbort(std::string message) : Exception(std::move(message)) {}
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Floating-point faults.
class EMathError : public Exception {
public:
    using Exception::Exception;
};

class EInvalidOp : public EMathError {
public:
    EInvalidOp();
    explicit EInvalidOp(std::string message) : EMathError(std::move(message)) {}
};

class EZeroDivide : public EMathError {
public:
    EZeroDivide();
    explicit EZeroDivide(std::string message) : EMathError(std::move(message)) {}
};

// A system resource (timer, window class) could not be had.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// An operation called on an object in a state that does not allow it.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// Leaves the current operation without a message.
[[noreturn]] void Abort();

// Replaces the first "%s" of fmt with arg; a fmt without "%s" comes back unchanged.
std::string FormatMessage1(const std::string& fmt, const std::string& arg);

}  // namespace fw
