#include "run_id.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <tuple>

namespace quillmere {
namespace {

constexpr std::size_t kTimeLength = 15;  // "20261207-135601"
constexpr std::uint64_t kMostInASecond = 1000000;

bool Digits(const std::string& text, std::size_t from, std::size_t to) {
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                     text.begin() + static_cast<std::ptrdiff_t>(to),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// The time and the number after it (1 without one).
std::pair<std::string, std::uint64_t> PartsOf(const std::string& id) {
  if (id.size() <= kTimeLength + 1) return {id, 1};
  return {id.substr(0, kTimeLength), std::stoull(id.substr(kTimeLength + 1))};
}

}  // namespace

bool IsRunId(const std::string& text) {
  if (text.size() < kTimeLength || text[8] != '-' || !Digits(text, 0, 8) ||
      !Digits(text, 9, kTimeLength)) {
    return false;
  }
  if (text.size() == kTimeLength) return true;
  // A number after it, without a leading zero and of at most 7 digits;
  // "-01" as earlier versions made it counts too.
  return text[kTimeLength] == '-' && text.size() > kTimeLength + 1 &&
         text.size() <= kTimeLength + 8 && Digits(text, kTimeLength + 1, text.size());
}

bool RunBefore(const std::string& a, const std::string& b) {
  return PartsOf(a) < PartsOf(b);
}

std::optional<std::string> NextRunId(const std::string& now, const std::string& newest) {
  if (newest.empty() || PartsOf(newest).first < now) return now;
  const auto [time, number] = PartsOf(newest);
  if (number + 1 > kMostInASecond) return std::nullopt;
  return time + "-" + std::to_string(number + 1);
}

std::string LocalTimeText(std::int64_t seconds, const char* format) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  char text[64];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

}  // namespace quillmere
