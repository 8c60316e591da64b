#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace velmora::protocol {

// A value read from a message and checked, or the reason it could not be:
// the one way a malformed message is reported, on both sides.
template <class T> class Decoded {
public:
    Decoded(T value)
        : m_value(std::move(value))
    {
    }
    static Decoded failure(QString why)
    {
        Decoded d;
        d.m_error = std::move(why);
        return d;
    }

    explicit operator bool() const { return m_value.has_value(); }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    // Why the message was refused; empty for a good one.
    const QString& error() const { return m_error; }

private:
    Decoded() = default;
    std::optional<T> m_value;
    QString m_error;
};

} // namespace velmora::protocol
