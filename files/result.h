#pragma once

#include <optional>
#include <utility>
#include <variant>

#include "file_error.h"

namespace quillmere {

// A value, or the error that kept it from being made.
template <typename T>
class Result {
 public:
  Result(T value) : content_(std::move(value)) {}
  Result(FileError error) : content_(std::move(error)) {}

  bool ok() const { return content_.index() == 0; }
  T& operator*() { return std::get<0>(content_); }
  T* operator->() { return &std::get<0>(content_); }
  const FileError& error() const { return std::get<1>(content_); }

 private:
  std::variant<T, FileError> content_;
};

// Nothing when an operation went well; otherwise why it did not.
using MaybeError = std::optional<FileError>;

}  // namespace quillmere
