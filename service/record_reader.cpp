#include "record_reader.h"

#include <cstring>
#include <functional>

namespace quillmere {
namespace {

// Where a member's value lies in the line.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool found = false;
};

using MemberSeen = std::function<void(const std::string& key, Span value)>;

// Where a string's decoded bytes go: decoding never lengthens a string, so
// they may go over the line they are read from, at or before the place read.
class StringSink {
 public:
  explicit StringSink(char* to) : to_(to) {}
  void Put(const char* from, std::size_t count) {
    std::memmove(to_ + size_, from, count);
    size_ += count;
  }
  void Put(char c) { to_[size_++] = c; }
  std::size_t size() const { return size_; }

 private:
  char* to_;
  std::size_t size_ = 0;
};

// Checks JSON text as RFC 8259 defines it, without building anything, and
// decodes the strings asked for. Containers are checked by recursion that
// stops at kMostRecordDepth, so the stack stays small whatever the input.
class JsonChecker {
 public:
  explicit JsonChecker(std::string_view text, std::size_t at = 0) : text_(text), at_(at) {}

  const std::string& error() const { return error_; }
  bool tooDeep() const { return tooDeep_; }
  bool AtObject() {
    SkipSpace();
    return Peek() == '{';
  }

  // One value, then nothing but white space.
  bool Document(const MemberSeen* topMembers);
  // The string at the current place; with `out`, decoded there.
  bool String(StringSink* out);

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  unsigned char Byte() const { return static_cast<unsigned char>(text_[at_]); }
  bool Digit(std::size_t at) const {
    return at < text_.size() && text_[at] >= '0' && text_[at] <= '9';
  }
  void SkipSpace();
  bool Fail(const std::string& reason);
  bool Value(int depth, const MemberSeen* members);
  bool Container(int depth, const MemberSeen* members);
  bool Member(int depth, const MemberSeen* members);
  bool Literal(std::string_view word);
  bool Number();
  bool Escape(StringSink* out);
  bool Unicode(StringSink* out);
  bool Hex4(unsigned& value);

  std::string_view text_;
  std::size_t at_;
  std::string error_;
  bool tooDeep_ = false;
};

void JsonChecker::SkipSpace() {
  while (at_ < text_.size() &&
         (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
    ++at_;
  }
}

bool JsonChecker::Fail(const std::string& reason) {
  error_ = reason + " at byte " + std::to_string(at_ + 1);
  return false;
}

bool JsonChecker::Document(const MemberSeen* topMembers) {
  if (!Value(0, topMembers)) return false;
  SkipSpace();
  return at_ == text_.size() || Fail("more text follows the JSON value");
}

bool JsonChecker::Value(int depth, const MemberSeen* members) {
  SkipSpace();
  switch (Peek()) {
    case '{':
    case '[':
      return Container(depth + 1, members);
    case '"':
      return String(nullptr);
    case 't':
      return Literal("true");
    case 'f':
      return Literal("false");
    case 'n':
      return Literal("null");
    default:
      return Peek() == '-' || Digit(at_) ? Number() : Fail("no JSON value");
  }
}

bool JsonChecker::Container(int depth, const MemberSeen* members) {
  if (depth > kMostRecordDepth) {
    tooDeep_ = true;
    return Fail("nested too deep");
  }
  const bool object = Peek() == '{';
  const char close = object ? '}' : ']';
  ++at_;
  SkipSpace();
  if (Peek() == close) {
    ++at_;
    return true;
  }
  for (;;) {
    if (!(object ? Member(depth, members) : Value(depth, nullptr))) return false;
    SkipSpace();
    if (Peek() == close) {
      ++at_;
      return true;
    }
    if (Peek() != ',') return Fail(object ? "expected , or }" : "expected , or ]");
    ++at_;
  }
}

bool JsonChecker::Member(int depth, const MemberSeen* members) {
  SkipSpace();
  if (Peek() != '"') return Fail("an object's key must be a string");
  const std::size_t keyStart = at_;
  if (!String(nullptr)) return false;
  std::string key;
  if (members != nullptr) {
    key.resize(at_ - keyStart);
    StringSink sink(key.data());
    JsonChecker(text_, keyStart).String(&sink);
    key.resize(sink.size());
  }
  SkipSpace();
  if (Peek() != ':') return Fail("expected : after a key");
  ++at_;
  SkipSpace();
  const std::size_t begin = at_;
  if (!Value(depth, nullptr)) return false;
  if (members != nullptr) (*members)(key, {begin, at_, true});
  return true;
}

bool JsonChecker::Literal(std::string_view word) {
  if (text_.substr(at_, word.size()) != word) return Fail("no JSON value");
  at_ += word.size();
  return true;
}

bool JsonChecker::Number() {
  if (Peek() == '-') ++at_;
  if (!Digit(at_)) return Fail("a number needs a digit");
  if (text_[at_] == '0') {
    ++at_;
  } else {
    while (Digit(at_)) ++at_;
  }
  if (Peek() == '.') {
    if (!Digit(++at_)) return Fail("a number needs a digit after its point");
    while (Digit(at_)) ++at_;
  }
  if (Peek() == 'e' || Peek() == 'E') {
    ++at_;
    if (Peek() == '+' || Peek() == '-') ++at_;
    if (!Digit(at_)) return Fail("a number needs a digit in its exponent");
    while (Digit(at_)) ++at_;
  }
  return true;
}

bool JsonChecker::String(StringSink* out) {
  ++at_;  // the opening quote
  for (;;) {
    // A run of plain ASCII goes over at once.
    std::size_t run = at_;
    while (run < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[run]);
      if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') break;
      ++run;
    }
    if (out != nullptr) out->Put(text_.data() + at_, run - at_);
    at_ = run;
    if (at_ == text_.size()) return Fail("a string is not closed");
    if (Peek() == '"') {
      ++at_;
      return true;
    }
    if (Peek() == '\\') {
      if (!Escape(out)) return false;
      continue;
    }
    if (Byte() < 0x20) return Fail("a control character in a string must be escaped");
    const std::size_t length = Utf8SequenceLength(text_.substr(at_));
    if (length == 0) return Fail("a string holds bytes that are not UTF-8");
    if (out != nullptr) out->Put(text_.data() + at_, length);
    at_ += length;
  }
}

bool JsonChecker::Escape(StringSink* out) {
  ++at_;  // the backslash
  char plain = '\0';
  switch (Peek()) {
    case '"':
    case '\\':
    case '/':
      plain = Peek();
      break;
    case 'b':
      plain = '\b';
      break;
    case 'f':
      plain = '\f';
      break;
    case 'n':
      plain = '\n';
      break;
    case 'r':
      plain = '\r';
      break;
    case 't':
      plain = '\t';
      break;
    case 'u':
      ++at_;
      return Unicode(out);
    default:
      return Fail("unknown escape in a string");
  }
  ++at_;
  if (out != nullptr) out->Put(plain);
  return true;
}

void AppendUtf8(StringSink& out, unsigned code) {
  if (code < 0x80) {
    out.Put(static_cast<char>(code));
  } else if (code < 0x800) {
    out.Put(static_cast<char>(0xC0 | code >> 6));
    out.Put(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.Put(static_cast<char>(0xE0 | code >> 12));
    out.Put(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out.Put(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.Put(static_cast<char>(0xF0 | code >> 18));
    out.Put(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    out.Put(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out.Put(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool JsonChecker::Unicode(StringSink* out) {
  unsigned code = 0;
  if (!Hex4(code)) return false;
  if (code >= 0xDC00 && code <= 0xDFFF) return Fail("a low surrogate without a high one");
  if (code >= 0xD800 && code <= 0xDBFF) {
    unsigned low = 0;
    if (text_.substr(at_, 2) != "\\u") return Fail("a high surrogate without a low one");
    at_ += 2;
    if (!Hex4(low)) return false;
    if (low < 0xDC00 || low > 0xDFFF) return Fail("a high surrogate without a low one");
    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
  }
  if (out != nullptr) AppendUtf8(*out, code);
  return true;
}

bool JsonChecker::Hex4(unsigned& value) {
  for (int i = 0; i < 4; ++i, ++at_) {
    const char c = Peek();
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return Fail("\\u needs four hexadecimal digits");
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

// The members a record is read for; a key given twice counts the last time.
struct RecordSpans {
  Span id;
  Span text;
  Span base64;
};

std::string NotJson(const JsonChecker& json) {
  if (json.tooDeep()) {
    return "nested deeper than " + std::to_string(kMostRecordDepth) + " levels";
  }
  std::string reason = "not JSON: " + json.error();
  if (reason.find("UTF-8") != std::string::npos) {
    reason += "; send text that is not UTF-8 as \"text_base64\"";
  }
  return reason;
}

// The string whose quotes lie at `span`, decoded over the line's start: the
// line becomes the string, in the room it had.
std::string DecodedOver(std::string& line, Span span) {
  StringSink sink(line.data());
  JsonChecker(line, span.begin).String(&sink);
  line.resize(sink.size());
  return std::move(line);
}

std::optional<std::string> TextOf(std::string& line, const RecordSpans& spans, std::string& error) {
  if (spans.text.found == spans.base64.found) {
    error = "a record needs one of \"text\" and \"text_base64\"";
    return std::nullopt;
  }
  if (spans.text.found) {
    if (line[spans.text.begin] == '"') return DecodedOver(line, spans.text);
    error = "\"text\" must be a string";
    return std::nullopt;
  }
  std::optional<std::string> bytes;
  if (line[spans.base64.begin] == '"') {
    const std::string_view raw = std::string_view(line).substr(
        spans.base64.begin + 1, spans.base64.end - spans.base64.begin - 2);
    // Base64 needs no escapes; one written anyway is decoded first.
    bytes = raw.find('\\') == std::string_view::npos ? FromBase64(raw)
                                                     : FromBase64(DecodedOver(line, spans.base64));
  }
  if (!bytes) error = "\"text_base64\" must be a base64 string";
  return bytes;
}

}  // namespace

std::variant<RecordParts, RecordProblem> ReadRecord(std::string line) {
  JsonChecker json(line);
  RecordSpans spans;
  const MemberSeen seen = [&spans](const std::string& key, Span value) {
    if (key == "id") spans.id = value;
    if (key == "text") spans.text = value;
    if (key == "text_base64") spans.base64 = value;
  };
  const bool object = json.AtObject();
  if (!json.Document(object ? &seen : nullptr)) return RecordProblem{nullptr, NotJson(json)};
  if (!object) return RecordProblem{nullptr, "a record must be a JSON object"};
  RecordParts parts;
  if (spans.id.found) {
    try {
      // Checked above and at most kMostRecordDepth deep.
      const std::string_view id =
          std::string_view(line).substr(spans.id.begin, spans.id.end - spans.id.begin);
      parts.id = Json::parse(id);
    } catch (const Json::parse_error& error) {
      return RecordProblem{nullptr, std::string("not JSON: ") + error.what()};
    }
  }
  std::string error;
  std::optional<std::string> text = TextOf(line, spans, error);
  if (!text) return RecordProblem{std::move(parts.id), error};
  parts.text = std::move(*text);
  return parts;
}

}  // namespace quillmere
