#include "string_table.h"

#include <array>
#include <utility>

#include "resource_ids.h"
#include "texts.h"

namespace quillmere {
namespace {

constexpr std::array<std::pair<int, const char*>, 4> kStrings{{
    {ids::kStrAboutMenuItem, texts::kAboutMenuItem},
    {ids::kStrDropProgress, texts::kDropProgress},
    {ids::kStrSelectedFiles, texts::kSelectedFiles},
    {ids::kStrRunSummary, texts::kRunSummary},
}};

// Replaces each "%d" in turn by the next number and "%%" by "%"; other text is
// copied. Numbers beyond the given ones leave their "%d" as it stands.
std::string Substitute(const std::string& format, std::initializer_list<int> numbers) {
  std::string result;
  auto next = numbers.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        result += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 'd' && next != numbers.end()) {
        result += std::to_string(*next++);
        ++i;
        continue;
      }
    }
    result += format[i];
  }
  return result;
}

}  // namespace

std::string LoadStringResource(int id) {
  for (const auto& [key, text] : kStrings) {
    if (key == id) return text;
  }
  return {};
}

std::string FormatString(const std::string& format, int a) {
  return Substitute(format, {a});
}

std::string FormatString(const std::string& format, int a, int b, int c) {
  return Substitute(format, {a, b, c});
}

std::string FormatPlaces(const std::string& format, std::initializer_list<std::string> texts) {
  std::string result;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const std::size_t place = i + 1 < format.size() ? std::size_t(format[i + 1] - '1') : 9;
    if (format[i] == '%' && place < texts.size()) {
      result += texts.begin()[place];
      ++i;
    } else {
      result += format[i];
    }
  }
  return result;
}

}  // namespace quillmere
