// Failure as a value.
//
// An operation that can fail returns Result<T> (Status when there is no
// value): either the value, or an error that says why in one line a person
// can read. Nothing is thrown across a library boundary. A library whose
// callers branch on the reason gives its own error type, e.g.
// Result<std::string, FetchError> with an enum class inside.
//
//   Result<Config> Load(std::string_view path) {
//     if (...) return Fail("cannot read " + std::string(path));
//     return config;
//   }
#pragma once

#include <concepts>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace keelnode {

// The plain reason: one line, naming what failed and where.
struct Error {
  std::string message;
  friend bool operator==(const Error&, const Error&) = default;
};

// Marks a value as the error side, so that Result<T, E> can be built from it
// even where T and E could be built from the same thing.
template <typename E>
struct Failure {
  E error;
};

template <typename E>
Failure<std::decay_t<E>> Fail(E&& error) {
  return {std::forward<E>(error)};
}
inline Failure<Error> Fail(std::string message) {
  return {Error{std::move(message)}};
}
inline Failure<Error> Fail(const char* message) {
  return {Error{message}};
}

namespace detail {
template <typename U>
inline constexpr bool kIsFailure = false;
template <typename E>
inline constexpr bool kIsFailure<Failure<E>> = true;
}  // namespace detail

template <typename T, typename E = Error>
class [[nodiscard]] Result {
 public:
  using value_type = T;
  using error_type = E;

  template <typename U = T>
  requires(std::constructible_from<T, U&&> && !detail::kIsFailure<std::remove_cvref_t<U>> &&
           !std::same_as<std::remove_cvref_t<U>, Result>) Result(U&& value)
      : state_(std::in_place_index<0>, std::forward<U>(value)) {}

  template <typename F>
  requires std::constructible_from<E, F&&> Result(Failure<F> failure)
      : state_(std::in_place_index<1>, std::move(failure.error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  template <typename U>
  T value_or(U&& fallback) const& {
    return ok() ? value() : static_cast<T>(std::forward<U>(fallback));
  }
  template <typename U>
  T value_or(U&& fallback) && {
    return ok() ? std::move(*this).value() : static_cast<T>(std::forward<U>(fallback));
  }

  // Only when !ok().
  const E& error() const& { return std::get<1>(state_); }
  E&& error() && { return std::get<1>(std::move(state_)); }

 private:
  std::variant<T, E> state_;
};

template <typename E>
class [[nodiscard]] Result<void, E> {
 public:
  using value_type = void;
  using error_type = E;

  Result() = default;
  template <typename F>
  requires std::constructible_from<E, F&&> Result(Failure<F> failure)
      : error_(std::move(failure.error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  // Only when !ok().
  const E& error() const& { return error_; }
  E&& error() && { return std::move(error_); }

 private:
  E error_{};
  bool ok_ = true;
};

using Status = Result<void>;

inline Status Ok() {
  return {};
}

}  // namespace keelnode
