#include "chain_output.h"

#include <cstring>

namespace quillmere::detail {
namespace {

constexpr std::size_t kShortWrite = 16;

}  // namespace

void ChainOutput::Put(char c) {
  Put(std::string_view(&c, 1));
}

void ChainOutput::Put(std::string_view run) {
  Materialize();
  if (writing_) {
    Write(run.data(), run.size());
  } else {
    size_ += run.size();
  }
}

void ChainOutput::PutInput(std::size_t from, std::size_t count) {
  Put(input_.substr(from, count));
}

void ChainOutput::Finish() {
  Materialize();
}

void ChainOutput::Materialize() {
  if (writing_ || !router_.edited()) return;
  writing_ = true;
  if (inPlace_) return;  // the unchanged beginning is already there
  out_.clear();
  out_.reserve(input_.size());
  out_.append(input_.substr(0, size_));
}

void ChainOutput::Write(const char* bytes, std::size_t count) {
  if (inPlace_) {
    // May overlap: unchanged input moves down over what was removed, so a
    // forward copy is safe. Most writes are a few bytes long.
    char* to = out_.data() + size_;
    if (count <= kShortWrite) {
      for (std::size_t k = 0; k < count; ++k) to[k] = bytes[k];
    } else {
      std::memmove(to, bytes, count);
    }
  } else {
    out_.append(bytes, count);
  }
  size_ += count;
}

}  // namespace quillmere::detail
