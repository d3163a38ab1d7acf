#include "console_platform.h"

#include <atomic>
#include <csignal>
#include <ostream>

#include "batch_run.h"

namespace quillmere {
namespace {

// The stop signal caught, set by the handler and taken by the event draining.
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

ConsolePlatform::ConsolePlatform(const CleaningOptions& options, std::ostream& err,
                                 bool showProgress)
    : options_(options), err_(err), showProgress_(showProgress) {}

int ConsolePlatform::ListCount() {
  return static_cast<int>(list_.size());
}

std::string ConsolePlatform::ListItem(int index) {
  return list_.at(static_cast<std::size_t>(index));
}

void ConsolePlatform::ShowMessage(const std::string& text, const std::string&, MessageStyle,
                                  const std::string& details) {
  ShowNotice(text, details);
}

void ConsolePlatform::ShowNotice(const std::string& text, const std::string& details) {
  EndProgress();
  err_ << text;
  if (!details.empty()) err_ << '\t' << details;
  err_ << '\n';
}

void ConsolePlatform::DrainEvents() {
  if (run_ == nullptr) return;
  const int signal = pendingSignal.exchange(0);
  if (signal == 0) return;
  interruptedBy_ = signal;
  run_->OnStart();
}

void ConsolePlatform::ExchangeData(WindowFields& fields, ExchangeDirection direction) {
  if (direction == ExchangeDirection::kRead) {
    fields.options = options_;
    fields.statusText = statusText_;
    fields.percentText = percentText_;
    return;
  }
  options_ = fields.options;
  if (showProgress_ && (fields.statusText != statusText_ || fields.percentText != percentText_)) {
    ShowProgress(fields.percentText, fields.statusText);
  }
  statusText_ = fields.statusText;
  percentText_ = fields.percentText;
}

void ConsolePlatform::ShowProgress(const std::string& percent, const std::string& status) {
  // A terminal is not worth waiting for more often than this.
  const auto now = std::chrono::steady_clock::now();
  if (progressShown_ && now - lastProgress_ < kProgressInterval) return;
  lastProgress_ = now;
  const std::string shown = status.size() <= kProgressPathWidth
                                ? status
                                : "..." + status.substr(status.size() - kProgressPathWidth);
  err_ << kClearLine << percent << ' ' << shown << std::flush;
  progressShown_ = true;
}

void ConsolePlatform::EndProgress() {
  if (!progressShown_) return;
  err_ << kClearLine << std::flush;
  progressShown_ = false;
}

InterruptAsStop::InterruptAsStop() {
  pendingSignal.store(0);
  for (const int signal : kStopSignals) {
    previous_.emplace_back(signal, std::signal(signal, OnStopSignal));
  }
}

InterruptAsStop::~InterruptAsStop() {
  for (const auto& [signal, handler] : previous_) {
    if (handler != SIG_ERR) std::signal(signal, handler);
  }
}

}  // namespace quillmere
