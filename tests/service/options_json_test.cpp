// The cleaning options as JSON: what the keys mean, the way back and forth,
// and the reasons for bad input.
#include "options_json.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quillmere {

// A failed comparison shows the options as JSON rather than as bytes.
inline void PrintTo(const CleaningOptions& options, std::ostream* out) {
  *out << OptionsToJson(options).dump(-1, ' ', false, Json::error_handler_t::replace);
}

namespace {

using Kind = TextRule::Kind;

CleaningOptions FromText(const std::string& text) {
  const auto result = OptionsFromJson(Json::parse(text));
  if (const auto* error = std::get_if<OptionsJsonError>(&result)) {
    ADD_FAILURE() << text << ": " << error->reason;
    return {};
  }
  return std::get<CleaningOptions>(result);
}

CleaningOptions Pda() {
  CleaningOptions o;
  o.pdaPreset = o.convertTables = o.removeScripts = o.removePictures = o.removeForms =
      o.removeSounds = o.cleanNotes = o.convertLists = true;
  return o;
}

TEST(OptionsJson, KeysMeanWhatTheCommandLineMeans) {
  CleaningOptions removeText;
  removeText.removeTextEnabled = true;
  removeText.removeText = "ad";
  CleaningOptions replace;
  replace.searchEnabled = true;
  replace.searchText = "Colour";
  replace.replaceText = "Color";
  CleaningOptions blockRule;
  blockRule.removeBlockEnabled = true;
  blockRule.rules = {{Kind::kRemoveBlock, "<div>", "</div>"}};
  CleaningOptions pdaWithoutTables = Pda();
  pdaWithoutTables.convertTables = false;
  CleaningOptions switches;
  switches.removeFonts = switches.caseSensitive = true;
  const struct {
    const char* json;
    CleaningOptions expected;
  } cases[] = {
      {R"({})", {}},
      {R"({"fonts": true, "case-sensitive": true, "tables": false})", switches},
      {R"({"pda": true})", Pda()},
      {R"({"tables": false, "pda": true})", pdaWithoutTables},
      {R"({"remove-text": "ad"})", removeText},
      {R"({"replace": ["Colour", "Color"]})", replace},
      {R"({"remove-block": true,
           "rules": [{"kind": "remove-block", "first": "<div>", "second": "</div>"}]})",
       blockRule},
  };
  for (const auto& c : cases) EXPECT_EQ(FromText(c.json), c.expected) << c.json;
}

TEST(OptionsJson, WritesEveryGroupInTheTablesOrderThenTheRules) {
  CleaningOptions o;
  o.convertTables = true;
  o.removeTextEnabled = true;
  o.removeText = "ad";
  o.blockBegin = "<b>";
  o.searchEnabled = true;
  o.rules = {{Kind::kRemoveText, "x", ""}, {Kind::kReplace, "a", "\xE9"}};
  EXPECT_EQ(OptionsToJson(o).dump(),
            R"({"tables":true,"scripts":false,"pictures":false,"forms":false,"sounds":false,)"
            R"("remove-text":"ad","remove-block":{"on":false,"texts":["<b>",""]},)"
            R"("replace":true,"notes":false,"lists":false,"fonts":false,"pda":false,)"
            R"("case-sensitive":false,"rules":[{"kind":"remove-text","first":"x"},)"
            R"({"kind":"replace","first":"a","second_base64":"6Q=="}]})");
}

TEST(OptionsJson, ReadsBackWhatItWrites) {
  CleaningOptions everything = Pda();
  everything.removeFonts = everything.caseSensitive = true;
  everything.removeTextEnabled = everything.removeBlockEnabled = everything.searchEnabled = true;
  everything.removeText = "ad";
  everything.blockBegin = "<!--";
  everything.blockEnd = "-->";
  everything.searchText = "Colour";
  everything.replaceText = "Color";
  CleaningOptions presetOverridden = Pda();
  presetOverridden.removeForms = false;
  CleaningOptions textsKeptOff;
  textsKeptOff.removeText = "ad";
  textsKeptOff.replaceText = "only the replacement";
  textsKeptOff.blockEnd = "\xE9t\xE9";  // not UTF-8
  CleaningOptions onWithoutTexts;
  onWithoutTexts.removeTextEnabled = onWithoutTexts.searchEnabled = true;
  onWithoutTexts.blockBegin = "caf\xC3\xA9";
  onWithoutTexts.blockEnd = "\xFF";
  CleaningOptions rules;
  rules.rules = {{Kind::kReplace, "\x80", "euro"},
                 {Kind::kRemoveText, "a", "unused"},
                 {Kind::kRemoveBlock, "", ""},
                 {Kind::kRemoveText, "b", ""}};
  for (const CleaningOptions& o :
       {CleaningOptions{}, everything, presetOverridden, textsKeptOff, onWithoutTexts, rules}) {
    const std::string text = OptionsToJson(o).dump();
    EXPECT_EQ(FromText(text), o) << text;
  }
}

TEST(OptionsJson, RefusesBadInputWithTheReason) {
  const struct {
    const char* json;
    const char* reason;
  } cases[] = {
      {R"([])", "the options must be a JSON object"},
      {R"({"colour": true})", R"(unknown key "colour")"},
      {R"({"tables_base64": "YQ=="})", R"(unknown key "tables_base64")"},
      {R"({"tables": 1})", R"("tables" takes true or false)"},
      {R"({"remove-text": ["ad"]})", R"("remove-text" takes a string)"},
      {R"({"replace": "Colour"})", R"("replace" takes an array of two strings)"},
      {R"({"replace": ["Colour"]})", R"("replace" takes two texts, not 1)"},
      {R"({"remove-block": ["<b>", 2]})", R"("remove-block" takes an array of two strings)"},
      {R"({"remove-text": "a", "remove-text_base64": "YQ=="})",
       R"(give "remove-text" or "remove-text_base64", not both)"},
      {R"({"remove-text_base64": "YQ="})", R"("remove-text_base64" must hold base64)"},
      {R"({"replace": {"texts": ["a", "b"]}})", R"("replace" needs "on": true or false)"},
      {R"({"replace": {"on": false, "text": "a"}})", R"("replace": unknown key "text")"},
      {R"({"replace": {"on": false, "texts": ["a"]}})",
       R"("replace": "texts" takes two texts, not 1)"},
      {R"({"rules": {}})", R"("rules" takes an array)"},
      {R"({"rules": [{"kind": "replace", "first": "a", "second": "b"}, 1]})",
       R"("rules"[1]: must be an object)"},
      {R"({"rules": [{"first": "a"}]})", R"("rules"[0]: needs "kind", a string)"},
      {R"({"rules": [{"kind": "shout", "first": "a"}]})", R"("rules"[0]: unknown kind "shout")"},
      {R"({"rules": [{"kind": "replace", "first": "a"}]})",
       R"("rules"[0]: a "replace" rule needs "first" and "second")"},
      {R"({"rules": [{"kind": "remove-text"}]})",
       R"("rules"[0]: a "remove-text" rule needs "first")"},
      {R"({"rules": [{"kind": "remove-text", "first": 1}]})",
       R"("rules"[0]: "first" takes a string)"},
      {R"({"rules": [{"kind": "remove-text", "first": "a", "then": "b"}]})",
       R"("rules"[0]: unknown key "then")"},
  };
  for (const auto& c : cases) {
    const auto result = OptionsFromJson(Json::parse(c.json));
    const auto* error = std::get_if<OptionsJsonError>(&result);
    ASSERT_NE(error, nullptr) << c.json;
    EXPECT_EQ(error->reason, c.reason) << c.json;
  }
}

}  // namespace
}  // namespace quillmere
