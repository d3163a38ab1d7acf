// Answers to records of the stream, taken one by one as a front end would.
#include "record_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(RecordAnswer, CleansTheTextWithTheOptionsGiven) {
  CleaningOptions options;
  options.searchEnabled = true;
  options.rules.push_back({TextRule::Kind::kReplace, "Colour", "Color"});
  const Json answer = AnswerRecord(options, R"({"text":"a Colour","id":{"n":1}})");
  EXPECT_EQ(answer.dump(), R"({"id":{"n":1},"text":"a Color","changed":true})");
  EXPECT_EQ(AnswerRecord(CleaningOptions{}, R"({"id":2,"text":"a Colour"})").dump(),
            R"({"id":2,"text":"a Colour","changed":false})");
}

TEST(RecordAnswer, ABlankLineGetsNoAnswer) {
  const CleaningOptions options;
  EXPECT_EQ(AnswerLine(options, " \t\r"), "");
  EXPECT_EQ(AnswerLine(options, ""), "");
  EXPECT_EQ(AnswerLine(options, R"({"text":"x"})"),
            "{\"id\":null,\"text\":\"x\",\"changed\":false}\n");
}

}  // namespace
}  // namespace quillmere
