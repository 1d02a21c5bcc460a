#pragma once
// The platform's general exception: one message text. Every exception of the library derives from it.

#include <QString>
#include <exception>
#include <string>

namespace core {

class Exception : public std::exception {
public:
    explicit Exception(QString message);
    ~Exception() override = default;

    const QString& message() const noexcept { return message_; }
    void setMessage(QString message);
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

}  // namespace core
