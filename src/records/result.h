#pragma once

#include <string>
#include <utility>
#include <variant>

namespace velmora {

// The text of a failed operation, worded for the player.
struct Failure {
    std::string text;
};

// A value or the reason there is none; errors travel as values, never as
// exceptions, so they can cross Qt slots and timers safely.
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
