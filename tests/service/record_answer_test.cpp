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
  EXPECT_EQ(AnswerLine(options, R"({"text":"a Colour","id":{"n":1}})"),
            "{\"id\":{\"n\":1},\"text\":\"a Color\",\"changed\":true}\n");
  EXPECT_EQ(AnswerLine(CleaningOptions{}, R"({"id":2,"text":"a Colour"})"),
            "{\"id\":2,\"text\":\"a Colour\",\"changed\":false}\n");
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
