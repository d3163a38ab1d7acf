#include "group_options.h"

#include <algorithm>

namespace quillmere {
namespace {

// The name of the group's text at `index`: "SEARCH" of "SEARCH REPLACEMENT".
std::string TextName(const CleaningGroup& group, int index) {
  const std::string_view names = group.cliArguments;
  const std::size_t space = names.find(' ');
  return std::string(index == 0 ? names.substr(0, space) : names.substr(space + 1));
}

}  // namespace

const CleaningGroup* GroupOfSwitch(std::string_view cliSwitch) {
  const auto groups = CleaningGroups();
  const auto found = std::find_if(groups.begin(), groups.end(),
                                  [&](const CleaningGroup& g) { return cliSwitch == g.cliSwitch; });
  return found == groups.end() ? nullptr : &*found;
}

std::optional<std::string> ApplyGroup(const CleaningGroup& group,
                                      std::span<const std::string> texts, CleaningOptions& options,
                                      const std::string& name, const std::string& removeText) {
  for (int i = 0; i < group.textCount; ++i) {
    if (!texts[static_cast<std::size_t>(i)].empty()) continue;
    // An empty text would match, or put in, nothing at all; deleting text
    // is done by naming it.
    return name + ": " + TextName(group, i) + " is empty; to delete a text, use " + removeText +
           " TEXT";
  }
  options.*group.field = true;
  if (group.field == &CleaningOptions::pdaPreset) SetPdaSwitches(options);
  if (group.textCount > 0) {
    TextRule rule{group.ruleKind, texts[0], {}};
    if (group.textCount > 1) rule.second = texts[1];
    options.rules.push_back(std::move(rule));
  }
  return std::nullopt;
}

}  // namespace quillmere
