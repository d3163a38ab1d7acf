#include "colour_choice.h"

#include <cstdlib>

#include "console.h"

namespace quillmere {

std::optional<ColourMode> ColourModeNamed(std::string_view word) {
  if (word == "auto") return ColourMode::kAuto;
  if (word == "always") return ColourMode::kAlways;
  if (word == "never") return ColourMode::kNever;
  return std::nullopt;
}

bool UseColour(ColourMode mode, const ColourSetting& setting) {
  if (mode != ColourMode::kAuto) return mode == ColourMode::kAlways;
  const bool noColour = setting.noColour != nullptr && *setting.noColour != '\0';
  const bool dumb = setting.term != nullptr && std::string_view(setting.term) == "dumb";
  return setting.outputShowsEscapes && !noColour && !dumb;
}

ColourSetting ProcessColourSetting() {
  return {std::getenv("NO_COLOR"), std::getenv("TERM"), ShowsEscapes(StandardStream::kOutput)};
}

bool ShowProgressLine() {
  const char* term = std::getenv("TERM");
  return ShowsEscapes(StandardStream::kError) &&
         (term == nullptr || std::string_view(term) != "dumb");
}

}  // namespace quillmere
