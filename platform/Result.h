// Result<T>: a value or an error message, the error currency of the core and the platform layer.
// The messages are the texts the user sees; there are no error codes of our own.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace lumo {

struct Error {
    std::string message;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(Error error)
        : m_state(std::move(error))
    {
    }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { return std::get<1>(m_state); }
    const std::string& message() const { return error().message; }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
        , m_failed(true)
    {
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return m_error; }
    const std::string& message() const { return m_error.message; }

private:
    Error m_error;
    bool m_failed = false;
};

using Status = Result<void>;

// Replaces each "%s" (in order) and "%d" with the given texts, the way the system's messages are formed.
std::string formatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace lumo
