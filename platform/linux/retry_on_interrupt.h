#pragma once

#include <cerrno>

namespace quillmere {

// Makes a system call again for as long as a signal interrupts it before it
// does anything: gives the first result that is not a failure with EINTR,
// errno as that call left it.
template <typename Call>
auto RetryOnInterrupt(Call&& call) {
  for (;;) {
    const auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

}  // namespace quillmere
