#pragma once

#include <chrono>
#include <functional>

namespace quillmere::test {

// A clock that moves only when told to.
struct ManualClock {
  std::chrono::steady_clock::time_point now{};
  std::function<std::chrono::steady_clock::time_point()> Function() {
    return [this] { return now; };
  }
  void Advance(std::chrono::milliseconds by) { now += by; }
};

}  // namespace quillmere::test
