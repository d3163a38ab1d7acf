// --jsonl-stream: records in, answers out, one line each and in order; every
// bad record is answered by an error object.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace quillmere {
namespace {

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
  };
  std::string input = "\n";  // blank lines are passed over
  for (const Case& c : cases) input += c.record + "\n \n";
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli({"--jsonl-stream", "--fonts"}, in, out, err), kExitOk);
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
