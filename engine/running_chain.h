#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "chain_output.h"
#include "edit_chain.h"
#include "stage_router.h"

namespace quillmere::detail {

struct ChainPlan;
class ChainReader;

// One chain at work on a text that may arrive in pieces: its stages, the
// router between them and its output.
class RunningChain {
 public:
  // The input will be the first bytes of `source`; the result goes into `out`,
  // over the input when `inPlace` (see ChainOutput).
  RunningChain(std::span<const ChainStep> steps, std::string_view source, std::string& out,
               bool inPlace);
  ~RunningChain();
  RunningChain(const RunningChain&) = delete;
  RunningChain& operator=(const RunningChain&) = delete;

  // Reads on into `input`, the first bytes of `source`, at least as many as
  // the last call's. With `final` it reads to the end and finishes; otherwise
  // it stops short of the end by what deciding about a position may read
  // after it, so that the bytes after `input` may still be on their way.
  void Advance(std::string_view input, bool final);

  bool finished() const { return finished_; }
  bool edited() const { return router_.edited(); }
  // The size of the result so far; its bytes are final.
  std::size_t size() const { return output_.size(); }

 private:
  std::shared_ptr<const ChainPlan> plan_;
  StageRouter router_;
  ChainOutput output_;
  std::unique_ptr<ChainReader> reader_;
  bool finished_ = false;
};

}  // namespace quillmere::detail
