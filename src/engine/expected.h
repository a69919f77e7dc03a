#pragma once
// Errors are values: a result or the message that the shell shows for it.
#include <optional>
#include <string>
#include <utility>

namespace tessary {

template <class T>
class Expected {
 public:
  Expected(T value) : m_value(std::move(value)) {}
  static Expected Failure(std::string message) {
    Expected e;
    e.m_strError = std::move(message);
    return e;
  }
  explicit operator bool() const { return m_value.has_value(); }
  T& operator*() { return *m_value; }
  const T& operator*() const { return *m_value; }
  T* operator->() { return &*m_value; }
  const T* operator->() const { return &*m_value; }
  const std::string& Error() const { return m_strError; }

 private:
  Expected() = default;
  std::optional<T> m_value;
  std::string m_strError;
};

}  // namespace tessary
