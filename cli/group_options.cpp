#include "group_options.h"

#include <algorithm>

#include "pattern_rules.h"

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

std::optional<int> PatternOptionTexts(std::string_view cliSwitch) {
  if (cliSwitch == "--replace-regex") return 2;
  if (cliSwitch == "--remove-regex") return 1;
  return std::nullopt;
}

std::optional<std::string> ApplyPatternOption(std::string_view cliSwitch,
                                              std::span<const std::string> texts,
                                              CleaningOptions& options, const std::string& name) {
  if (!PatternRulesAvailable()) {
    return name +
           " is not available in this build: regular expressions need RE2, which the "
           "Windows build lacks";
  }
  const bool replace = cliSwitch == "--replace-regex";
  if (texts[0].empty()) return name + ": PATTERN is empty";
  if (replace && texts[1].empty()) {
    return name +
           ": REPLACEMENT is empty; to delete what a pattern matches, use --remove-regex "
           "PATTERN";
  }
  TextRule rule{replace ? TextRule::Kind::kReplacePattern : TextRule::Kind::kRemovePattern,
                texts[0], replace ? texts[1] : std::string()};
  if (std::optional<std::string> error = PatternRuleError(rule, options.caseSensitive)) {
    return name + ": " + *error;
  }
  (replace ? options.searchEnabled : options.removeTextEnabled) = true;
  options.rules.push_back(std::move(rule));
  return std::nullopt;
}

void MarkWholeWords(CleaningOptions& options) {
  for (TextRule& rule : options.rules) {
    if (rule.kind == TextRule::Kind::kReplace || rule.kind == TextRule::Kind::kRemoveText) {
      rule.wholeWords = true;
    }
  }
}

}  // namespace quillmere
