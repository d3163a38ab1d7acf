#include "console_observer.h"

#include <atomic>
#include <csignal>
#include <ostream>

#include "texts.h"

namespace quillmere {
namespace {

// The stop signal caught, set by the handler and taken at the event point.
std::atomic<int> pendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnStopSignal(int signal) {
  pendingSignal.store(signal);
}

#ifdef _WIN32
constexpr int kStopSignals[] = {SIGINT, SIGTERM};
#else
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
#endif

// At most this many bytes of the path in hand are shown, its end kept.
constexpr std::size_t kProgressPathWidth = 60;
constexpr std::chrono::milliseconds kProgressInterval{100};
constexpr const char* kClearLine = "\r\x1b[K";

}  // namespace

void SignalledObserver::DrainEvents() {
  if (const int signal = pendingSignal.exchange(0); signal != 0) stoppedBy_ = signal;
}

ConsoleObserver::ConsoleObserver(std::ostream& err, bool showProgress, std::ostream& out,
                                 std::ostream* list, bool writesNothing)
    : err_(err),
      showProgress_(showProgress),
      out_(out),
      list_(list),
      writesNothing_(writesNothing) {}

void ConsoleObserver::FileStarted(int, const std::string& path, int percent) {
  if (!showProgress_) return;
  // A terminal is not worth waiting for more often than this.
  const auto now = std::chrono::steady_clock::now();
  if (progressShown_ && now - lastProgress_ < kProgressInterval) return;
  lastProgress_ = now;
  const std::string shown = path.size() <= kProgressPathWidth
                                ? path
                                : "..." + path.substr(path.size() - kProgressPathWidth);
  err_ << kClearLine << percent << " % " << shown << std::flush;
  progressShown_ = true;
}

void ConsoleObserver::FileRestored(const std::string& path) {
  if (writesNothing_) {
    Line(texts::kWouldRestore + path, texts::kWouldRestoreDetails);
  } else {
    Line(texts::kRestored + path, texts::kRestoredDetails);
  }
}

void ConsoleObserver::FileFailed(FileStage stage, const std::string& path, const FileError& error) {
  Line((stage == FileStage::kOpen ? texts::kOpenError : texts::kSaveError) + path,
       ReasonText(error));
}

void ConsoleObserver::FileFinished(int, const std::string& path, const FileOutcome& outcome) {
  CountHandled();
  for (const FileNote& note : outcome.notes) {
    switch (note.kind) {
      case FileNote::Kind::kNoUndoCopy:
        Line(texts::kNoUndoCopy + path, ReasonText(note.error) + texts::kNoUndoCopyDetails);
        break;
      case FileNote::Kind::kTimesNotKept:
        Line(texts::kTimesNotKept + path, ReasonText(note.error));
        break;
      case FileNote::Kind::kIgnoredCopy:
        Line(texts::kIgnoredCopy + note.text, note.error.detail);
        break;
      case FileNote::Kind::kRuleNotRepresentable:
        Line(texts::kRuleLeftOut + path, texts::kRuleLeftOutDetails + note.text);
        break;
      case FileNote::Kind::kDiff:
        EndProgress();
        out_ << note.text;
        break;
    }
  }
  if (list_ != nullptr && outcome.result == FileOutcome::Result::kChanged) {
    EndProgress();
    *list_ << path << '\n';
  }
}

void ConsoleObserver::Line(const std::string& text, const std::string& details) {
  EndProgress();
  err_ << text;
  if (!details.empty()) err_ << '\t' << details;
  err_ << '\n';
}

void ConsoleObserver::EndProgress() {
  if (!progressShown_) return;
  err_ << kClearLine << std::flush;
  progressShown_ = false;
}

StopSignals::StopSignals() {
  pendingSignal.store(0);
  for (const int signal : kStopSignals) {
    previous_.emplace_back(signal, std::signal(signal, OnStopSignal));
  }
}

StopSignals::~StopSignals() {
  for (const auto& [signal, handler] : previous_) {
    if (handler != SIG_ERR) std::signal(signal, handler);
  }
}

}  // namespace quillmere
