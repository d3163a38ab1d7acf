// The chains of a cleaning pass on a large text, each on a thread of its own.
// All of them write over the text, and each reads the result of the one
// before it (the first, the text itself), which lies at the start of the
// text: a chain writes no further than it has read, and reads no further than
// the chain before it has written, so no chain overwrites bytes that it or a
// later chain has still to read.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "edit_chain.h"
#include "running_chain.h"
#include "text_primitives.h"

namespace quillmere::detail {
namespace {

// Below `from` the chains run one after the other: the threads would cost
// more than they save.
std::atomic<std::size_t> pipelineFrom{PipelineShape{}.from};
std::atomic<std::size_t> pipelineStretch{PipelineShape{}.stretch};

bool CanPipeline(std::span<const ChainSegment> segments, std::size_t size) {
  const auto fits = [](const ChainSegment& segment) {
    return !segment.steps.empty() &&
           std::all_of(segment.steps.begin(), segment.steps.end(), NeverLengthens);
  };
  return size >= pipelineFrom && segments.size() >= 2 &&
         std::all_of(segments.begin(), segments.end(), fits);
}

bool RunOneAfterAnother(std::span<const ChainSegment> segments, std::string& text,
                        std::string& spare) {
  bool edited = false;
  for (const ChainSegment& segment : segments) {
    if (segment.trimFirst) TrimWhiteSpace(text);
    edited = RunEditChain(segment.steps, text, spare) || edited;
  }
  return edited;
}

// How far a chain's result has come, told to the chain after it.
class Progress {
 public:
  struct State {
    std::size_t size = 0;  // of the result so far; its bytes are final
    bool done = false;
    bool failed = false;
  };

  void Report(std::size_t size, bool done) {
    {
      const std::lock_guard lock(mutex_);
      state_.size = size;
      state_.done = done;
    }
    changed_.notify_all();
  }

  void Fail() {
    {
      const std::lock_guard lock(mutex_);
      state_.done = state_.failed = true;
    }
    changed_.notify_all();
  }

  // Waits until the result is longer than `seen` bytes, or done.
  State WaitBeyond(std::size_t seen) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return state_.done || state_.size > seen; });
    return state_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  State state_;
};

// One chain and what it has been given of the result before it.
struct Link {
  const ChainSegment* segment = nullptr;
  std::unique_ptr<RunningChain> chain;
  std::size_t begin = 0;    // where its input starts in the text
  std::size_t end = 0;      // where the input given so far ends, trimmed
  std::size_t scanned = 0;  // how much of the result before it was looked at
  Progress progress;
  std::exception_ptr error;

  bool finished() const { return chain && chain->finished(); }
  std::size_t size() const { return chain ? chain->size() : 0; }
};

class ChainPipeline {
 public:
  ChainPipeline(std::span<const ChainSegment> segments, std::string& text)
      : text_(text), links_(segments.size()) {
    for (std::size_t k = 0; k < segments.size(); ++k) links_[k].segment = &segments[k];
  }

  // False, with the text untouched, if the threads could not be started.
  bool Start() {
    try {
      for (std::size_t k = 1; k < links_.size(); ++k) {
        threads_.emplace_back([this, k] { Guarded(k, [this, k] { RunLater(k); }); });
      }
    } catch (const std::system_error&) {
      links_.front().progress.Fail();  // the threads started end at once
      JoinAll();
      return false;
    }
    return true;
  }

  // Runs the first chain here; returns whether any chain edited, or throws
  // what a chain threw.
  bool Finish() {
    Guarded(0, [this] { RunFirst(); });
    JoinAll();
    bool edited = false;
    for (const Link& link : links_) {
      if (link.error) std::rethrow_exception(link.error);
      edited = link.chain->edited() || edited;
    }
    text_.resize(links_.back().size());
    return edited;
  }

 private:
  template <class Body>
  void Guarded(std::size_t k, Body body) {
    try {
      body();
    } catch (...) {
      links_[k].error = std::current_exception();
      links_[k].progress.Fail();
    }
  }

  void RunFirst() {
    Link& link = links_.front();
    const std::size_t stretch = pipelineStretch;
    std::size_t given = 0;
    while (!link.finished()) {
      given = std::min(text_.size(), given + stretch);
      Feed(link, given, given == text_.size());
      link.progress.Report(link.size(), link.finished());
    }
  }

  void RunLater(std::size_t k) {
    Link& link = links_[k];
    std::size_t seen = 0;
    while (!link.finished()) {
      const Progress::State before = links_[k - 1].progress.WaitBeyond(seen);
      if (before.failed) {
        link.progress.Fail();
        return;
      }
      seen = before.size;
      Feed(link, before.size, before.done);
      link.progress.Report(link.size(), link.finished());
    }
  }

  void JoinAll() {
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

  // Gives `link` the first `produced` bytes of the text (complete or not),
  // trimmed of white space at both ends if its segment says so.
  void Feed(Link& link, std::size_t produced, bool complete) {
    if (!link.segment->trimFirst) {
      link.end = produced;
    } else if (!TrimmedEnds(link, produced, complete)) {
      return;
    }
    const char* start = text_.data() + link.begin;
    if (!link.chain) {
      const std::string_view source(start, text_.size() - link.begin);
      link.chain = std::make_unique<RunningChain>(link.segment->steps, source, text_, true);
    }
    link.chain->Advance(std::string_view(start, link.end - link.begin), complete);
  }

  // Finds where the trimmed input begins, once a byte that is not white space
  // has arrived (or everything has), and where it ends so far: after the last
  // such byte, since white space after it may turn out to end the text.
  bool TrimmedEnds(Link& link, std::size_t produced, bool complete) {
    const char* bytes = text_.data();
    if (!link.chain) {
      while (link.scanned < produced && IsWhiteSpace(bytes[link.scanned])) ++link.scanned;
      if (link.scanned == produced && !complete) return false;
      link.begin = link.end = link.scanned;
    }
    for (std::size_t q = produced; q > std::max(link.scanned, link.begin); --q) {
      if (!IsWhiteSpace(bytes[q - 1])) {
        link.end = q;
        break;
      }
    }
    link.scanned = produced;
    return true;
  }

  std::string& text_;
  std::vector<Link> links_;
  std::vector<std::thread> threads_;
};

}  // namespace

void SetPipelineShape(const PipelineShape& shape) {
  pipelineFrom = shape.from;
  pipelineStretch = shape.stretch;
}

bool RunEditChains(std::span<const ChainSegment> segments, std::string& text, std::string& spare) {
  if (CanPipeline(segments, text.size())) {
    ChainPipeline pipeline(segments, text);
    if (pipeline.Start()) return pipeline.Finish();
  }
  return RunOneAfterAnother(segments, text, spare);
}

}  // namespace quillmere::detail
