#pragma once

#include <string>
#include <variant>

#include "cleaning_options.h"
#include "json_bytes.h"

namespace quillmere {

// The cleaning options as JSON, for front ends that take them as data. The
// keys are the command line's cleaning options without their dashes, and
// mean what the command line means:
//   {"pda": true, "fonts": false, "replace": ["Colour", "Color"],
//    "rules": [{"kind": "remove-block", "first": "<div>", "second": "</div>"}]}
// A switch takes true or false. A group that takes texts takes its text (a
// string) or its two texts (an array of two strings), which turns it on;
// or true/false, its switch with no texts of its own; or
// {"on": false, "texts": ...}, its switch and its texts apart. "pda" sets
// its groups first, so that the keys of those groups can still change them.
// "rules" are the further rules, in order: "kind" is the name of the group
// they belong to, "second" is for the groups with two texts. Texts that are
// not UTF-8 go base64-encoded under the key with "_base64" after it.
struct OptionsJsonError {
  std::string reason;  // names the key at fault
};

std::variant<CleaningOptions, OptionsJsonError> OptionsFromJson(const Json& json);

// Every group's key and "rules"; OptionsFromJson gives `options` back.
Json OptionsToJson(const CleaningOptions& options);

}  // namespace quillmere
