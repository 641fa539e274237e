// The result of a file operation that produces a value: the value, or the failed status that
// tells why there is none. Like FsStatus it cannot be dropped unseen.
#pragma once

#include <cassert>
#include <optional>
#include <utility>

#include "fs/fs_status.h"

namespace vortena {

template <typename T>
class [[nodiscard]] Expected {
 public:
  // Success, holding `value`.
  Expected(T value) : value_(std::move(value)) {}
  // Failure: `failure` must be a failed status. An ok one without a value is a programming
  // error (an assert in debug builds; 75 otherwise).
  Expected(FsStatus failure) : status_(failure.ok() ? FsStatus{kPathFileAccess} : failure) {
    assert(!failure.ok());
  }

  bool ok() const { return value_.has_value(); }
  // kFsOk on success, the failure otherwise.
  FsStatus status() const { return ok() ? FsStatus{} : status_; }

  // The value of a success. Reaching the value of a failure is a programming error: it is
  // checked by an assert in debug builds.
  T& value() & {
    assert(ok());
    return *value_;
  }
  const T& value() const& {
    assert(ok());
    return *value_;
  }
  T&& value() && {
    assert(ok());
    return std::move(*value_);
  }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  // The value of a success, `fallback` for a failure.
  T valueOr(T fallback) const& { return ok() ? *value_ : std::move(fallback); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

 private:
  std::optional<T> value_;
  FsStatus status_{kPathFileAccess};  // the failure; unused on success
};

// Ignores the outcome of an operation that produces a value, value and all (see the FsStatus
// form in fs/fs_status.h).
template <typename T>
void ignoreFailure(const Expected<T>& result, const char* reason) {
  ignoreFailure(result.status(), reason);
}

}  // namespace vortena
