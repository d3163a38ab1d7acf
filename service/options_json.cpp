#include "options_json.h"

#include <algorithm>
#include <vector>

#include "cleaning_groups.h"

namespace quillmere {
namespace {

using Texts = std::vector<std::string>;
using Error = std::optional<std::string>;

std::string Quoted(const std::string& key) {
  return "\"" + key + "\"";
}

// The group's key: its command-line switch without the dashes.
std::string NameOf(const CleaningGroup& group) {
  return group.cliSwitch + 2;
}

// The group whose rules are of `kind`; rules go by its name, as in rules files.
const CleaningGroup& GroupOfKind(TextRule::Kind kind) {
  const auto groups = CleaningGroups();
  return *std::ranges::find_if(groups, [&](const CleaningGroup& group) {
    return group.textCount > 0 && group.ruleKind == kind;
  });
}

const CleaningGroup* GroupOfKindName(const std::string& name) {
  const auto groups = CleaningGroups();
  const auto found = std::ranges::find_if(groups, [&](const CleaningGroup& group) {
    return group.textCount > 0 && NameOf(group) == name;
  });
  return found == groups.end() ? nullptr : &*found;
}

Error UnknownKey(const Json& object, const std::vector<std::string>& known) {
  for (const auto& [key, value] : object.items()) {
    if (std::ranges::find(known, key) == known.end()) return "unknown key " + Quoted(key);
  }
  return std::nullopt;
}

std::vector<std::string> TopLevelKeys() {
  std::vector<std::string> keys{"rules"};
  for (const CleaningGroup& group : CleaningGroups()) {
    keys.push_back(NameOf(group));
    if (group.textCount > 0) keys.push_back(NameOf(group) + "_base64");
  }
  return keys;
}

Error BothForms(const Json& object, const std::string& key) {
  if (!object.contains(key) || !object.contains(key + "_base64")) return std::nullopt;
  return "give " + Quoted(key) + " or " + Quoted(key + "_base64") + ", not both";
}

// `count` texts in `value`: a string for one, an array of two strings for two.
Error TextsOf(const Json& value, int count, bool base64, const std::string& key, Texts& texts) {
  const std::string wanted = count == 1 ? " takes a string" : " takes an array of two strings";
  if (!(count == 1 ? value.is_string() : value.is_array())) return Quoted(key) + wanted;
  const Json list = count == 1 ? Json::array({value}) : value;
  if (list.size() != static_cast<std::size_t>(count)) {
    return Quoted(key) + " takes two texts, not " + std::to_string(list.size());
  }
  for (const Json& text : list) {
    if (!text.is_string()) return Quoted(key) + wanted;
    std::optional<std::string> bytes = text.get<std::string>();
    if (base64) bytes = FromBase64(*bytes);
    if (!bytes) return Quoted(key) + " must hold base64";
    texts.push_back(std::move(*bytes));
  }
  return std::nullopt;
}

// The texts under `key`, or base64 under `key`_base64; `found` says whether
// either is there.
Error TextsAt(const Json& object, const std::string& key, int count, Texts& texts, bool& found) {
  if (auto error = BothForms(object, key)) return error;
  const auto plain = object.find(key);
  const auto coded = object.find(key + "_base64");
  found = plain != object.end() || coded != object.end();
  if (plain != object.end()) return TextsOf(*plain, count, false, key, texts);
  if (coded != object.end()) return TextsOf(*coded, count, true, key + "_base64", texts);
  return std::nullopt;
}

void SetGroup(const CleaningGroup& group, bool on, const Texts& texts, CleaningOptions& options) {
  options.*group.field = on;
  for (std::size_t i = 0; i < texts.size(); ++i) options.*group.texts[i] = texts[i];
}

// {"on": ..., "texts": ...}: a group's switch and its texts apart.
Error ReadSwitchAndTexts(const Json& value, const CleaningGroup& group, CleaningOptions& options) {
  const std::string name = NameOf(group);
  if (auto error = UnknownKey(value, {"on", "texts", "texts_base64"})) {
    return Quoted(name) + ": " + *error;
  }
  const auto on = value.find("on");
  if (on == value.end() || !on->is_boolean()) return Quoted(name) + " needs \"on\": true or false";
  Texts texts;
  bool found = false;
  if (auto error = TextsAt(value, "texts", group.textCount, texts, found)) {
    return Quoted(name) + ": " + *error;
  }
  SetGroup(group, on->get<bool>(), texts, options);
  return std::nullopt;
}

Error ReadGroup(const Json& object, const CleaningGroup& group, CleaningOptions& options) {
  const std::string name = NameOf(group);
  const auto value = object.find(name);
  if (group.textCount == 0 && value != object.end()) {
    if (!value->is_boolean()) return Quoted(name) + " takes true or false";
    options.*group.field = value->get<bool>();
    return std::nullopt;
  }
  if (auto error = BothForms(object, name)) return error;
  if (value != object.end() && value->is_object()) {
    return ReadSwitchAndTexts(*value, group, options);
  }
  if (value != object.end() && value->is_boolean()) {
    SetGroup(group, value->get<bool>(), {}, options);
    return std::nullopt;
  }
  Texts texts;
  bool found = false;
  if (auto error = TextsAt(object, name, group.textCount, texts, found)) return error;
  if (found) SetGroup(group, true, texts, options);
  return std::nullopt;
}

// The preset first, so that its groups' own keys have the last word.
Error ReadGroups(const Json& object, CleaningOptions& options) {
  for (const bool preset : {true, false}) {
    for (const CleaningGroup& group : CleaningGroups()) {
      if ((group.field == &CleaningOptions::pdaPreset) != preset) continue;
      if (auto error = ReadGroup(object, group, options)) return error;
    }
    if (preset) SetPdaSwitches(options);
  }
  return std::nullopt;
}

Error ReadRule(const Json& value, TextRule& rule) {
  if (!value.is_object()) return std::string("must be an object");
  if (auto error =
          UnknownKey(value, {"kind", "first", "first_base64", "second", "second_base64"})) {
    return error;
  }
  const auto kind = value.find("kind");
  if (kind == value.end() || !kind->is_string()) return std::string("needs \"kind\", a string");
  const std::string name = kind->get<std::string>();
  const CleaningGroup* group = GroupOfKindName(name);
  if (group == nullptr) return "unknown kind " + Quoted(name);
  rule.kind = group->ruleKind;
  Texts texts;
  bool first = false;
  bool second = false;
  if (auto error = TextsAt(value, "first", 1, texts, first)) return error;
  if (auto error = TextsAt(value, "second", 1, texts, second)) return error;
  if (!first || (group->textCount == 2 && !second)) {
    return "a " + Quoted(name) + " rule needs " +
           (group->textCount == 2 ? "\"first\" and \"second\"" : "\"first\"");
  }
  rule.first = texts[0];
  if (second) rule.second = texts[1];
  return std::nullopt;
}

Error ReadRules(const Json& object, CleaningOptions& options) {
  const auto rules = object.find("rules");
  if (rules == object.end()) return std::nullopt;
  if (!rules->is_array()) return std::string("\"rules\" takes an array");
  for (const Json& value : *rules) {
    TextRule rule;
    if (auto error = ReadRule(value, rule)) {
      return "\"rules\"[" + std::to_string(options.rules.size()) + "]: " + *error;
    }
    options.rules.push_back(std::move(rule));
  }
  return std::nullopt;
}

// Sets `key` to the texts, or `key`_base64 to them all in base64 when one is
// not UTF-8.
void PutTexts(Json& object, const std::string& key, Texts texts) {
  const bool utf8 =
      std::ranges::all_of(texts, [](const std::string& text) { return IsUtf8(text); });
  if (!utf8) std::ranges::for_each(texts, [](std::string& text) { text = ToBase64(text); });
  object[utf8 ? key : key + "_base64"] = texts.size() == 1 ? Json(texts[0]) : Json(texts);
}

void PutGroup(Json& object, const CleaningGroup& group, const CleaningOptions& options) {
  const std::string name = NameOf(group);
  const bool on = options.*group.field;
  Texts texts;
  for (int i = 0; i < group.textCount; ++i) texts.push_back(options.*group.texts[i]);
  if (std::ranges::all_of(texts, [](const std::string& text) { return text.empty(); })) {
    object[name] = on;
  } else if (on) {
    PutTexts(object, name, texts);
  } else {
    Json value{{"on", false}};
    PutTexts(value, "texts", texts);
    object[name] = value;
  }
}

Json RuleJson(const TextRule& rule) {
  // Pattern rules go by their rules-file name; they belong to no group.
  if (rule.kind == TextRule::Kind::kReplacePattern || rule.kind == TextRule::Kind::kRemovePattern) {
    const bool replace = rule.kind == TextRule::Kind::kReplacePattern;
    Json value{{"kind", replace ? "replace-regex" : "remove-regex"}};
    PutBytes(value, "first", rule.first);
    if (replace) PutBytes(value, "second", rule.second);
    return value;
  }
  const CleaningGroup& group = GroupOfKind(rule.kind);
  Json value{{"kind", NameOf(group)}};
  PutBytes(value, "first", rule.first);
  if (group.textCount == 2 || !rule.second.empty()) PutBytes(value, "second", rule.second);
  if (rule.wholeWords) value["word"] = true;
  return value;
}

}  // namespace

std::variant<CleaningOptions, OptionsJsonError> OptionsFromJson(const Json& json) {
  if (!json.is_object()) return OptionsJsonError{"the options must be a JSON object"};
  CleaningOptions options;
  Error error = UnknownKey(json, TopLevelKeys());
  if (!error) error = ReadGroups(json, options);
  if (!error) error = ReadRules(json, options);
  if (error) return OptionsJsonError{*error};
  return options;
}

Json OptionsToJson(const CleaningOptions& options) {
  Json json = Json::object();
  for (const CleaningGroup& group : CleaningGroups()) PutGroup(json, group, options);
  json["rules"] = Json::array();
  for (const TextRule& rule : options.rules) json["rules"].push_back(RuleJson(rule));
  return json;
}

}  // namespace quillmere
