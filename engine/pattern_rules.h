#pragma once

#include <optional>
#include <string>

#include "cleaning_options.h"

namespace quillmere {

// Rules that match a regular expression (RE2's syntax, UTF-8) or a literal
// text at word edges, run over the whole text by RE2, whose matching takes
// time linear in the text whatever the pattern. A replacement may name the
// pattern's groups as $1 (up to $99), ${1} or ${name}; $$ is a dollar.
// Patterns match in any letter case unless `caseSensitive`; a word rule
// folds only the ASCII letters, as the literal rules do.

// Whether this build has them (it needs RE2; the Windows build has not).
bool PatternRulesAvailable();

// Whether `rule` is run here: a pattern rule, or a literal one of whole words.
bool IsPatternRule(const TextRule& rule);

// Why the rule's pattern or replacement cannot be used, or nothing.
std::optional<std::string> PatternRuleError(const TextRule& rule, bool caseSensitive);

// Applies the rule to the whole text, left to right, each match replaced
// once; true when the text changed. A rule that PatternRuleError refuses
// changes nothing.
bool ApplyPatternRule(std::string& text, const TextRule& rule, bool caseSensitive);

}  // namespace quillmere
