#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cleaning_groups.h"

namespace quillmere {

// The cleaning group whose command-line switch is `cliSwitch` ("--tables").
const CleaningGroup* GroupOfSwitch(std::string_view cliSwitch);

// Applies a group's option to `options`: a switch turns its group on (the
// preset its seven); a group that takes texts gets one more rule, after the
// rules before it. An empty text is refused: the reason comes back, naming
// the option as `name` and the way to delete text as `removeText` says it.
std::optional<std::string> ApplyGroup(const CleaningGroup& group,
                                      std::span<const std::string> texts, CleaningOptions& options,
                                      const std::string& name, const std::string& removeText);

// The pattern rules, "--replace-regex" PATTERN REPLACEMENT and
// "--remove-regex" PATTERN (in rules files without the dashes): how many
// texts the one named takes, or nothing when `cliSwitch` names none.
std::optional<int> PatternOptionTexts(std::string_view cliSwitch);

// Adds the pattern rule `cliSwitch` names, after the rules before it, and
// turns its kind's group on; the reason when its texts cannot be used (an
// empty text, a malformed pattern or replacement, a build without RE2).
std::optional<std::string> ApplyPatternOption(std::string_view cliSwitch,
                                              std::span<const std::string> texts,
                                              CleaningOptions& options, const std::string& name);

// -w: the literal rules (--replace, --remove-text) match whole words only.
void MarkWholeWords(CleaningOptions& options);

}  // namespace quillmere
