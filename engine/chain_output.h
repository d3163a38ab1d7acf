#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "edit_stage.h"

namespace quillmere::detail {

// The end of a chain. It writes the result either over the input, which is
// safe when no step makes its text longer (the result then never overtakes
// the input still to be read), or into a string of its own.
//
// Until some stage has edited, what arrives is the input itself, so it is only
// counted; writing starts with the first byte that arrives after an edit, and
// nothing is written when nothing was edited. Written over the input, the
// result is the first size() bytes of `out`, which the caller cuts to that.
class ChainOutput final : public ByteSink {
 public:
  // When `inPlace`, `input` views bytes of `out` at or after its start; if
  // it starts later, every byte is written.
  ChainOutput(std::string_view input, std::string& out, bool inPlace, const StageRouter& router)
      : input_(input),
        out_(out),
        inPlace_(inPlace),
        router_(router),
        writing_(inPlace && input.data() != out.data()) {}

  void Put(char c) override;
  void Put(std::string_view run) override;
  void Finish() override;

  // Input bytes [from, from + count) that reach the end unchanged.
  void PutInput(std::size_t from, std::size_t count);
  // The size of the result so far.
  std::size_t size() const { return size_; }

 private:
  void Materialize();
  void Write(const char* bytes, std::size_t count);

  std::string_view input_;
  std::string& out_;
  bool inPlace_;
  const StageRouter& router_;
  std::size_t size_ = 0;  // of the result so far
  bool writing_ = false;
};

}  // namespace quillmere::detail
