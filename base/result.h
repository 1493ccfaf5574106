#pragma once

#include <optional>
#include <string>
#include <utility>

namespace zevo {

// A value or the reason there is none; what loaders and factories return instead of null.
template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  static Result Error(std::string message) {
    Result r;
    r.error_ = std::move(message);
    return r;
  }

  bool Ok() const { return value_.has_value(); }
  explicit operator bool() const { return Ok(); }
  T& Value() & { return *value_; }
  const T& Value() const& { return *value_; }
  T&& Value() && { return std::move(*value_); }
  const std::string& ErrorText() const { return error_; }

 private:
  Result() = default;
  std::optional<T> value_;
  std::string error_;
};

}  // namespace zevo
