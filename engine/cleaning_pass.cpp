#include "cleaning_pass.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "edit_chain.h"
#include "folded_edits.h"
#include "pattern_rules.h"
#include "text_primitives.h"

namespace quillmere {
namespace {

enum class Edit {
  kRemoveAll,       // RemoveAllText(a)
  kRemoveBlocks,    // RemoveBlocks(a, b)
  kReplaceBlocks,   // ReplaceBlocks(a, b, c)
  kReplaceAll,      // ReplaceAllText(a, b) in the run's case mode
  kReplaceOnePass,  // ReplaceOnePass(a, b)
  kTrim,            // TrimWhiteSpace
  kCollapseBreaks,  // ReplaceAllText("<BR><BR>", "<BR>") until none is left
};

struct Step {
  Edit edit;
  std::string_view a{};
  std::string_view b{};
  std::string_view c{};
};

constexpr Step kTables[] = {
    {Edit::kRemoveBlocks, "<table", ">"},
    {Edit::kRemoveAll, "</table>"},
    {Edit::kRemoveAll, "<tr>"},
    {Edit::kRemoveAll, "</tr>"},
    {Edit::kReplaceBlocks, "<td", ">", "<p>"},
    {Edit::kReplaceBlocks, "<th", ">", "<p>"},
    {Edit::kReplaceAll, "</td>", "</p>"},
    {Edit::kReplaceAll, "</th>", "</p>"},
};
constexpr Step kScripts[] = {
    {Edit::kRemoveBlocks, "<script", "/script>"},
    {Edit::kRemoveBlocks, "<applet", "/applet>"},
};
constexpr Step kPictures[] = {{Edit::kRemoveBlocks, "<img", ">"}};
constexpr Step kForms[] = {{Edit::kRemoveBlocks, "<form", "/form>"}};
constexpr Step kSounds[] = {{Edit::kRemoveBlocks, "<bgsound", ">"}};
constexpr Step kNotes[] = {
    {Edit::kTrim},
    {Edit::kReplaceOnePass, "  ", " "},
    {Edit::kCollapseBreaks},
    {Edit::kReplaceOnePass, "\t", ""},
    {Edit::kReplaceOnePass, "\r\n\r\n", "\r\n"},
    {Edit::kReplaceOnePass, "\r\n ", "\r\n"},
    {Edit::kRemoveBlocks, "<!--", "-->"},
    {Edit::kRemoveAll, "<p></p>"},
    {Edit::kRemoveAll, "<p>\r\n</p>"},
};
constexpr Step kLists[] = {
    {Edit::kRemoveAll, "<NOBR>"},
    {Edit::kRemoveAll, "</NOBR>"},
    {Edit::kRemoveBlocks, "<UL", ">"},
    {Edit::kRemoveAll, "</UL>"},
    {Edit::kRemoveBlocks, "<OL", ">"},
    {Edit::kRemoveAll, "</OL>"},
    {Edit::kReplaceBlocks, "<LI", ">", "<BR>"},
    {Edit::kRemoveAll, "</LI>"},
    {Edit::kRemoveAll, "<DL>"},
    {Edit::kRemoveAll, "</DL>"},
    {Edit::kRemoveAll, "<DT>"},
    {Edit::kRemoveAll, "</DT>"},
    {Edit::kReplaceAll, "<DD>", "<BR>"},
    {Edit::kRemoveAll, "</DD>"},
    {Edit::kRemoveAll, "<menu>"},
    {Edit::kRemoveAll, "</menu>"},
    {Edit::kRemoveAll, "<dir>"},
    {Edit::kRemoveAll, "</dir>"},
};
constexpr Step kFonts[] = {
    {Edit::kRemoveAll, "<B>"},
    {Edit::kRemoveAll, "</B>"},
    {Edit::kRemoveAll, "<U>"},
    {Edit::kRemoveAll, "</U>"},
    {Edit::kRemoveAll, "<I>"},
    {Edit::kRemoveAll, "</I>"},
    {Edit::kRemoveAll, "<S>"},
    {Edit::kRemoveAll, "</S>"},
    {Edit::kRemoveAll, "<TT>"},
    {Edit::kRemoveAll, "</TT>"},
    {Edit::kRemoveAll, "<BIG>"},
    {Edit::kRemoveAll, "</BIG>"},
    {Edit::kRemoveAll, "<SMALL>"},
    {Edit::kRemoveAll, "</SMALL>"},
    {Edit::kRemoveBlocks, "<FONT", ">"},
    {Edit::kRemoveAll, "</FONT>"},
    {Edit::kRemoveBlocks, "<BASEFONT", ">"},
    {Edit::kRemoveAll, "</BASEFONT>"},
    {Edit::kRemoveAll, "<blockquote>"},
    {Edit::kRemoveAll, "</blockquote>"},
};

constexpr std::string_view kDoubleBreak = "<BR><BR>";

using detail::ChainStep;

// Collects consecutive steps into chains, so that the text is read and
// written once for all the steps of a chain; a new chain begins where a step
// needs the whole text. At the end the chains run (see RunEditChains). A
// chain writes over the text when it cannot lengthen it, and otherwise into a
// spare string that then changes places with the text.
class StepRunner {
 public:
  StepRunner(TextBuffer& buffer, bool caseSensitive, bool asciiFoldingCharacters)
      : buffer_(buffer),
        caseSensitive_(caseSensitive),
        asciiFoldingCharacters_(asciiFoldingCharacters),
        segments_(1) {}

  bool caseSensitive() const { return caseSensitive_; }
  bool asciiFoldingCharacters() const { return asciiFoldingCharacters_; }

  void Add(const Step& step) {
    if (chain().size() == detail::kMaxChainSteps) NewChain();
    std::vector<ChainStep>& steps = chain();
    switch (step.edit) {
      case Edit::kRemoveAll:
        steps.push_back({ChainStep::Kind::kReplaceEach, step.a, {}, {}, false});
        break;
      case Edit::kRemoveBlocks:
      case Edit::kReplaceBlocks:
        steps.push_back({ChainStep::Kind::kBlocks, step.a, step.b, step.c, false});
        break;
      case Edit::kReplaceAll:
        AddReplaceAll(step.a, step.b);
        break;
      case Edit::kReplaceOnePass:
        steps.push_back({ChainStep::Kind::kReplaceEach, step.a, {}, step.b, true});
        break;
      case Edit::kTrim:
        NewChain();
        segments_.back().trimFirst = true;
        break;
      case Edit::kCollapseBreaks:
        CollapseBreaks();
        break;
    }
  }

  void AddGroup(std::span<const Step> steps) {
    for (const Step& step : steps) Add(step);
  }

  // Runs the steps collected.
  void Finish() {
    if (segments_.back().steps.empty() && !segments_.back().trimFirst) segments_.pop_back();
    if (detail::RunEditChains(segments_, buffer_.text, spare_)) buffer_.modified = true;
  }

  // A pattern rule needs the whole text as the steps before it left it: they
  // run first, then the rule, and the steps after it start anew.
  void AddPattern(const TextRule& rule) {
    Finish();
    segments_.assign(1, {});
    if (ApplyPatternRule(buffer_.text, rule, caseSensitive_)) buffer_.modified = true;
  }

  // A user's text that folds beyond ASCII runs on the whole text as the steps
  // before it left it, like a pattern rule.
  void AddFolded(TextRule::Kind kind, std::string_view first, std::string_view second) {
    Finish();
    segments_.assign(1, {});
    if (kind == TextRule::Kind::kRemoveText) RemoveAllFolded(buffer_, first);
    if (kind == TextRule::Kind::kRemoveBlock) RemoveBlocksFolded(buffer_, first, second);
    if (kind == TextRule::Kind::kReplace) ReplaceAllFolded(buffer_, first, second);
  }

 private:
  void AddReplaceAll(std::string_view target, std::string_view replacement) {
    // Searching again from a replacement that holds its target would find it
    // forever: there the search goes on after the replacement.
    const bool holdsTarget = FindText(target, replacement, 0, caseSensitive_) != -1;
    chain().push_back(
        {holdsTarget ? ChainStep::Kind::kReplaceEach : ChainStep::Kind::kReplaceRescan,
         target,
         {},
         replacement,
         caseSensitive_});
  }

  // Replaces doubled breaks until none is left. One pass that searches again
  // from each replacement already leaves none: a new doubled break would have
  // to begin just before a replacement "<BR>", where that pass, searching from
  // the start or from the replacement before it, would have found it first.
  //
  // The chain ends here: the spaces step before it shares bytes with the
  // line-end steps after it, and chained with them it would send every
  // indented line through the stages byte by byte.
  void CollapseBreaks() {
    AddReplaceAll(kDoubleBreak, "<BR>");
    NewChain();
  }

  std::vector<ChainStep>& chain() { return segments_.back().steps; }
  void NewChain() {
    if (!chain().empty() || segments_.back().trimFirst) segments_.emplace_back();
  }

  TextBuffer& buffer_;
  bool caseSensitive_;
  bool asciiFoldingCharacters_;
  std::vector<detail::ChainSegment> segments_;
  std::string spare_;
};

// Adds the step of one user rule; a rule with an empty text takes no part.
void AddRule(StepRunner& run, TextRule::Kind kind, std::string_view first,
             std::string_view second) {
  if (first.empty() || (kind != TextRule::Kind::kRemoveText && second.empty())) return;
  // Removals always fold letter case; replacing does unless case-sensitive.
  const bool folds = kind != TextRule::Kind::kReplace || !run.caseSensitive();
  const bool blockEndFolds = kind == TextRule::Kind::kRemoveBlock &&
                             NeedsUnicodeFolding(second, run.asciiFoldingCharacters());
  if (folds && (NeedsUnicodeFolding(first, run.asciiFoldingCharacters()) || blockEndFolds)) {
    run.AddFolded(kind, first, second);
    return;
  }
  switch (kind) {
    case TextRule::Kind::kRemovePattern:
    case TextRule::Kind::kReplacePattern:
      break;  // AddUserGroup hands these to the runner whole
    case TextRule::Kind::kRemoveText:
      run.Add({Edit::kRemoveAll, first});
      break;
    case TextRule::Kind::kRemoveBlock:
      run.Add({Edit::kRemoveBlocks, first, second});
      break;
    case TextRule::Kind::kReplace:
      run.Add({Edit::kReplaceAll, first, second});
      break;
  }
}

// A group of the user's texts: its own texts, then its further rules in order.
void AddUserGroup(StepRunner& run, const CleaningOptions& options, TextRule::Kind kind,
                  std::string_view first, std::string_view second) {
  AddRule(run, kind, first, second);
  // Pattern rules run with the literal rules of their kind, in their order.
  const TextRule::Kind patternKind =
      kind == TextRule::Kind::kRemoveText ? TextRule::Kind::kRemovePattern
      : kind == TextRule::Kind::kReplace  ? TextRule::Kind::kReplacePattern
                                          : kind;
  for (const TextRule& rule : options.rules) {
    if (rule.kind != kind && rule.kind != patternKind) continue;
    if (IsPatternRule(rule) && !rule.first.empty()) {
      run.AddPattern(rule);
    } else {
      AddRule(run, kind, rule.first, rule.second);
    }
  }
}

// Adds the steps of the group that `group` switches on.
void AddGroupOf(StepRunner& run, const CleaningOptions& options, bool CleaningOptions::*group) {
  using O = CleaningOptions;
  using K = TextRule::Kind;
  if (group == &O::convertTables) run.AddGroup(kTables);
  if (group == &O::removeScripts) run.AddGroup(kScripts);
  if (group == &O::removePictures) run.AddGroup(kPictures);
  if (group == &O::removeForms) run.AddGroup(kForms);
  if (group == &O::removeSounds) run.AddGroup(kSounds);
  if (group == &O::removeTextEnabled)
    AddUserGroup(run, options, K::kRemoveText, options.removeText, {});
  if (group == &O::removeBlockEnabled) {
    AddUserGroup(run, options, K::kRemoveBlock, options.blockBegin, options.blockEnd);
  }
  if (group == &O::searchEnabled) {
    AddUserGroup(run, options, K::kReplace, options.searchText, options.replaceText);
  }
  if (group == &O::cleanNotes) run.AddGroup(kNotes);
  if (group == &O::convertLists) run.AddGroup(kLists);
  if (group == &O::removeFonts) run.AddGroup(kFonts);
}

// Whether the text or a user's text holds a character that folds to an ASCII
// letter; only then must an ASCII text with such a letter fold beyond ASCII.
// The text is looked at only when a user's text has such a letter.
bool AsciiFoldingCharacters(const TextBuffer& buffer, const CleaningOptions& options) {
  std::vector<std::string_view> texts = {options.removeText, options.blockBegin, options.blockEnd,
                                         options.searchText, options.replaceText};
  for (const TextRule& rule : options.rules) texts.insert(texts.end(), {rule.first, rule.second});
  bool foldableLetter = false;
  for (std::string_view text : texts) {
    if (HoldsAsciiFoldingCharacter(text)) return true;
    foldableLetter = foldableLetter || text.find_first_of("kKsS") != std::string_view::npos;
  }
  return foldableLetter && HoldsAsciiFoldingCharacter(buffer.text);
}

}  // namespace

void CleanText(TextBuffer& buffer, const CleaningOptions& options) {
  StepRunner run(buffer, options.caseSensitive, AsciiFoldingCharacters(buffer, options));
  for (bool CleaningOptions::*group : kPassOrder) {
    if (options.*group) AddGroupOf(run, options, group);
  }
  run.Finish();
}

}  // namespace quillmere
