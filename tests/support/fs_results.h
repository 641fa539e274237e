// The value of a file operation's result, taken the way the tests check it.
#pragma once

#include <utility>

#include "fs/expected.h"

namespace vortena::testing {

// Moves the value of `result` into `out` when there is one (`out` stays as it is otherwise);
// the status either way.
template <typename T>
FsStatus takeInto(Expected<T> result, T& out) {
  if (result.ok()) out = std::move(*result);
  return result.status();
}

}  // namespace vortena::testing
