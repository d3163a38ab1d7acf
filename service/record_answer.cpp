#include "record_answer.h"

#include <new>
#include <stdexcept>

#include "cleaning_pass.h"

namespace quillmere {
namespace {

// The record's text as bytes, or false with the reason it has none.
bool TextOf(const Json& record, std::string& text, std::string& error) {
  const auto plain = record.find("text");
  const auto base64 = record.find("text_base64");
  if ((plain == record.end()) == (base64 == record.end())) {
    error = "a record needs one of \"text\" and \"text_base64\"";
    return false;
  }
  if (plain != record.end()) {
    if (!plain->is_string()) error = "\"text\" must be a string";
    if (plain->is_string()) text = plain->get<std::string>();
    return plain->is_string();
  }
  std::optional<std::string> bytes;
  if (base64->is_string()) bytes = FromBase64(base64->get<std::string>());
  if (!bytes) {
    error = "\"text_base64\" must be a base64 string";
    return false;
  }
  text = std::move(*bytes);
  return true;
}

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

Json AnswerRecord(const CleaningOptions& options, const std::string& record) {
  Json answer;
  answer["id"] = nullptr;
  Json parsed;
  try {
    parsed = Json::parse(record);
  } catch (const Json::parse_error& error) {
    std::string reason = std::string("not JSON: ") + error.what();
    if (reason.find("UTF-8") != std::string::npos) {
      reason += "; send text that is not UTF-8 as \"text_base64\"";
    }
    answer["error"] = reason;
    return answer;
  }
  if (!parsed.is_object()) {
    answer["error"] = "a record must be a JSON object";
    return answer;
  }
  if (const auto id = parsed.find("id"); id != parsed.end()) answer["id"] = *id;
  TextBuffer buffer;
  std::string error;
  if (!TextOf(parsed, buffer.text, error)) {
    answer["error"] = error;
    return answer;
  }
  if (buffer.text.find('\0') != std::string::npos) {
    answer["error"] = "the text holds a NUL byte; it is not 8-bit text";
    return answer;
  }
  CleanText(buffer, options);
  PutBytes(answer, "text", buffer.text);
  answer["changed"] = buffer.modified;
  return answer;
}

std::string AnswerLine(const CleaningOptions& options, const std::string& line) {
  if (Blank(line)) return {};
  try {
    return JsonLine(AnswerRecord(options, line));
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  return "{\"id\":null,\"error\":\"out of memory\"}\n";
}

}  // namespace quillmere
