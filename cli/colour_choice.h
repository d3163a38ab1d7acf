#pragma once

#include <optional>
#include <string_view>

namespace quillmere {

// --color: whether diffs on standard output are coloured.
enum class ColourMode { kAuto, kAlways, kNever };

// The mode --color=WORD names (auto, always, never), if any.
std::optional<ColourMode> ColourModeNamed(std::string_view word);

// What the environment says of colour: the values of NO_COLOR and TERM
// (null when unset) and whether standard output is a terminal that shows
// colour escapes.
struct ColourSetting {
  const char* noColour = nullptr;
  const char* term = nullptr;
  bool outputShowsEscapes = false;
};

// Whether to colour: always and never as they say; auto when standard
// output is a terminal, NO_COLOR is unset (or empty) and TERM is not "dumb".
bool UseColour(ColourMode mode, const ColourSetting& setting);

// The setting of this process.
ColourSetting ProcessColourSetting();

// Whether the progress line (which rewrites itself with escapes) may go to
// standard error: a terminal there, and TERM is not "dumb".
bool ShowProgressLine();

}  // namespace quillmere
