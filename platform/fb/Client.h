#pragma once
// Internal to platform/fb: the client library's entry points and the translation of its status
// vectors into fb::Error. Nothing outside this folder includes it.

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>

#include "platform/fb/Error.h"

namespace fb::detail {

Firebird::IMaster* master();
Firebird::IUtil* util();
Firebird::IProvider* provider();

// A throwing status wrapper that disposes of its status when the scope ends.
class Status {
public:
    Status() : wrapper_(master()->getStatus()) {}
    ~Status() { wrapper_.dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }
    Firebird::ThrowStatusWrapper* get() { return &wrapper_; }

private:
    Firebird::ThrowStatusWrapper wrapper_;
};

// The error a failed client call reported.
Error toError(const Firebird::FbException& e);
// An error raised by this layer itself (no server code).
[[noreturn]] void raise(const QString& text);

// Runs a call of the client library and turns its failures into fb::Error.
template <typename F>
auto call(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const Firebird::FbException& e) {
        throw toError(e);
    }
}

inline QByteArray utf8(const QString& s) { return s.toUtf8(); }

}  // namespace fb::detail
