// --jsonl-stream: records in, answers out, one line each and in order; every
// bad record is answered by an error object.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "record_reader.h"

namespace quillmere {
namespace {

constexpr std::size_t kMaxRecord = 120000;

// A record whose id is `depth` arrays inside one another (the record itself
// is one level more).
std::string Nested(int depth) {
  const auto n = static_cast<std::size_t>(depth);
  return R"({"text":"","id":)" + std::string(n, '[') + std::string(n, ']') + "}";
}

TEST(StreamMode, EachRecordGetsItsAnswerInOrder) {
  struct Case {
    std::string record;
    std::string answer;  // a prefix when it ends in "..."
  };
  const Case cases[] = {
      {R"({"id":1,"text":"<B>x</B>"})", R"({"id":1,"text":"x","changed":true})"},
      {R"({"text":"plain","id":"s"})", R"({"id":"s","text":"plain","changed":false})"},
      // base64 ("6Ty+PEI+" is "\xE9<B>", not UTF-8) in and out
      {R"({"id":[3],"text_base64":"6TxCPg=="})",
       R"({"id":[3],"text_base64":"6Q==","changed":true})"},
      {R"({"id":4,"text":"\u00e9<b>"})", "{\"id\":4,\"text\":\"\xC3\xA9\",\"changed\":true}"},
      {R"({"id":5,"text":"a\u0000b"})",
       R"({"id":5,"error":"the text holds a NUL byte; it is not 8-bit text"})"},
      {std::string("{\"id\":6,\"text\":\"a\0b\"}", 20), R"({"id":null,"error":"not JSON: ...)"},
      {"{\"id\":7,\"text\":\"\xE9\"}", R"({"id":null,"error":"not JSON: ...)"},
      {"not json", R"({"id":null,"error":"not JSON: ...)"},
      {"[1]", R"({"id":null,"error":"a record must be a JSON object"})"},
      {R"({"id":10})", R"({"id":10,"error":"a record needs one of \"text\" and \"text_base64\""})"},
      {R"({"id":11,"text":"a","text_base64":"YQ=="})",
       R"({"id":11,"error":"a record needs one of \"text\" and \"text_base64\""})"},
      {R"({"id":12,"text":5})", R"({"id":12,"error":"\"text\" must be a string"})"},
      {R"({"id":13,"text_base64":"YQ="})",
       R"({"id":13,"error":"\"text_base64\" must be a base64 string"})"},
      {R"({"text":"<i>no id</i>"})", R"({"id":null,"text":"no id","changed":true})"},
      // escapes, a surrogate pair and a control character, written back as JSON writes them
      {R"({"text":"\/\"\ud83d\ude00\u0001","id":15})",
       "{\"id\":15,\"text\":\"/\\\"\xF0\x9F\x98\x80\\u0001\",\"changed\":false}"},
      {R"({"id":16,"text":"\ud83d"})", R"({"id":null,"error":"not JSON: a high surrogate...)"},
      {R"({"id":17,"text":"\q"})", R"({"id":null,"error":"not JSON: unknown escape...)"},
      {"{\"id\":18,\"text\":\"a\tb\"}", R"({"id":null,"error":"not JSON: a control...)"},
      {R"({"id":19,"text":"a",})", R"({"id":null,"error":"not JSON: an object's key...)"},
      {R"({"id":20,"text":"a"} x)", R"({"id":null,"error":"not JSON: more text...)"},
      {R"({"id":[01],"text":"a"})", R"({"id":null,"error":"not JSON: expected , or ]...)"},
      // a key given twice counts the last time
      {R"({"id":21,"text":"<b>","text":"<i>x","id":22})", R"({"id":22,"text":"x","changed":true})"},
      {R"({"id":23,"text_base64":"\/w=="})", R"({"id":23,"text_base64":"/w==","changed":false})"},
      {Nested(kMostRecordDepth - 1), R"({"id":[[[...)"},
      {Nested(kMostRecordDepth), R"({"id":null,"error":"nested deeper than 64 levels"})"},
      {Nested(50000), R"({"id":null,"error":"nested deeper than 64 levels"})"},
      {std::string(kMaxRecord + 1, ' '),
       R"({"id":null,"error":"the record is longer than --max-record (120000 bytes); it was skipped"})"},
      {R"({"id":24,"text":")" + std::string(kMaxRecord - 30, 'a') + "\"}",
       R"({"id":24,"text":"aaa...)"},
  };
  std::string input = "\n";  // blank lines are passed over
  for (const Case& c : cases) input += c.record + "\n \n";
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--jsonl-stream", "--fonts", "--max-record", std::to_string(kMaxRecord)}, in,
                   out, err),
            kExitOk);
  EXPECT_EQ(err.str(), "");
  std::istringstream answers(out.str());
  for (const Case& c : cases) {
    std::string answer;
    ASSERT_TRUE(std::getline(answers, answer)) << c.record;
    if (c.answer.ends_with("...")) {
      EXPECT_EQ(answer.substr(0, c.answer.size() - 3), c.answer.substr(0, c.answer.size() - 3));
    } else {
      EXPECT_EQ(answer, c.answer) << c.record;
    }
  }
  std::string extra;
  EXPECT_FALSE(std::getline(answers, extra)) << extra;
}

}  // namespace
}  // namespace quillmere
