#pragma once

#include <QString>

#include <exception>
#include <string>

namespace lumora {

// The one base of every failure the program raises. It carries the text that
// the application-level error box shows to the user, unchanged.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}

    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// A text that is not a number where a number was expected.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A failure reported by the operating system (file, device, bus).
class EOSError : public Exception {
public:
    using Exception::Exception;
};

// A settings value that cannot be read or written as asked: "Invalid data
// type for '%s'", "Failed to set data for '%s'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be read, parsed or written.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

// An operation that is not valid in the object's current state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

} // namespace lumora
