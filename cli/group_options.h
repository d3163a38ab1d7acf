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

}  // namespace quillmere
