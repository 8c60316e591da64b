#pragma once

// The one way an operation of this game fails: it returns a Result, which
// holds either its value or the text of the failure. Errors travel as values,
// never as exceptions, so they cross Qt slots, timers and event handlers
// safely; exceptions are met only where a library throws them, and caught
// right there.
//
// Plain C++ with std::string rather than QString: the tally file's codec and
// the fuzzers below it are built without Qt, and every layer above may use
// this folder. Qt code converts the text once, where it shows or logs it.
//
// A new failure text names the failing operation first ("send: connection
// closed"); texts a player already reads on screen keep their wording.

#include <string>
#include <utility>
#include <variant>

namespace velmora {

// The text of a failed operation.
struct Failure {
    std::string text;
};

template <class T> class Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(Failure failure)
        : m_state(std::move(failure))
    {
    }

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }
    // Why there is no value; only for a failed result.
    const std::string& error() const { return std::get<Failure>(m_state).text; }

private:
    std::variant<T, Failure> m_state;
};

// The outcome of an operation that yields nothing but success.
using Status = Result<std::monostate>;

inline Status success()
{
    return std::monostate{};
}

} // namespace velmora
