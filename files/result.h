#pragma once

#include <optional>
#include <utility>
#include <variant>

#include "file_error.h"

namespace quillmere {

// A value, or the error that kept it from being made. Its members are named
// as std::expected's are, so that it can give way to that type later.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : content_(std::move(value)) {}
  Result(FileError error) : content_(std::move(error)) {}

  bool has_value() const { return content_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  // The value; asking for it when there is none throws std::bad_variant_access.
  T& value() { return std::get<0>(content_); }
  const T& value() const { return std::get<0>(content_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // The error; only when there is no value.
  const FileError& error() const { return std::get<1>(content_); }

  // The value, or the fallback when there is none.
  template <typename U>
  T value_or(U&& fallback) const& {
    return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
  }
  template <typename U>
  T value_or(U&& fallback) && {
    return has_value() ? std::move(value()) : static_cast<T>(std::forward<U>(fallback));
  }

 private:
  std::variant<T, FileError> content_;
};

// Nothing when an operation went well; otherwise why it did not.
using MaybeError = std::optional<FileError>;

}  // namespace quillmere
