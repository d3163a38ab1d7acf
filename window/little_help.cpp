#include "little_help.h"

#include <algorithm>
#include <vector>

#include "cleaning_groups.h"
#include "texts.h"
#include "window_services.h"

namespace quillmere {
namespace {

// The introduction with the program's name where its "%s" stands.
std::string Introduction(const Translator& translate) {
  std::string text = translate(texts::kHelpIntro);
  const std::size_t name = text.find("%s");
  if (name != std::string::npos) text.replace(name, 2, translate(texts::kProgramName));
  return text;
}

// One line per option, in the help's own order: "\"Name\" - explanation".
std::string FunctionList(const Translator& translate) {
  std::vector<const CleaningGroup*> groups;
  for (const CleaningGroup& group : CleaningGroups()) groups.push_back(&group);
  std::sort(groups.begin(), groups.end(),
            [](const auto* a, const auto* b) { return a->helpIndex < b->helpIndex; });
  std::string text = "\n";
  for (const CleaningGroup* group : groups) {
    text += '"' + translate(group->helpName) + "\" - " + translate(group->helpText) + '\n';
  }
  return text;
}

}  // namespace

std::array<HelpBox, 2> LittleHelpBoxes(const Translator& translate) {
  return {{
      {translate(texts::kHelpIntroCaption), Introduction(translate)},
      {translate(texts::kHelpFunctionsCaption), FunctionList(translate)},
  }};
}

void ShowLittleHelp(WindowServices& window) {
  const Translator translate = [&](const char* text) { return window.Translate(text); };
  for (const HelpBox& box : LittleHelpBoxes(translate)) {
    window.ShowMessage(box.text, box.caption, MessageStyle::kPlain, "");
  }
}

}  // namespace quillmere
