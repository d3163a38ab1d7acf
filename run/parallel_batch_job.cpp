#include "parallel_batch_job.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "file_cleaning.h"
#include "progress.h"

namespace quillmere {
namespace {

// How many files per worker may be taken ahead of the first file not yet
// reported: a slow file holds the others back only this far, and a stop
// lets no more than these be finished. A worker that may take no more
// commits the saves it holds, so its batches are this long at most.
constexpr int kAheadPerWorker = 4;
// How often the reporting thread looks for a stop request while it waits.
constexpr std::chrono::milliseconds kStopPoll{20};

}  // namespace

// What the workers and the reporting thread share, under one lock.
struct ParallelBatchJob::Shared {
  Shared(const std::vector<RunItem>& items_, const CleaningOptions& options_, int count_,
         int lookAhead_, std::vector<int> firstNames_)
      : items(items_),
        options(options_),
        count(count_),
        lookAhead(lookAhead_),
        firstNames(std::move(firstNames_)) {}

  bool Finished(int index) const { return index < reported || done.contains(index); }
  bool MayTake() const { return stop || next >= count || next < reported + lookAhead; }
  // The file's outcome is known: it waits to be reported.
  void Post(int index, FileOutcome outcome) {
    {
      const std::lock_guard lock(mutex);
      if (index >= reported) done.emplace(index, std::move(outcome));
    }
    changed.notify_all();
  }

  const std::vector<RunItem>& items;
  const CleaningOptions& options;
  const int count;
  const int lookAhead;  // how far ahead of the first file not reported workers may be
  // The first name of each file, told before any worker starts.
  const std::vector<int> firstNames;

  std::mutex mutex;
  std::condition_variable changed;
  int next = 0;  // the next file a worker takes
  int reported = 0;
  bool stop = false;
  std::map<int, FileOutcome> done;  // finished, waiting to be reported
};

ParallelBatchJob::ParallelBatchJob(WorkerStoreMaker makeStore, BatchObserver& observer, int workers)
    : makeStore_(std::move(makeStore)), observer_(observer), workers_(std::max(1, workers)) {}

RunCounters ParallelBatchJob::Run(const std::vector<RunItem>& items,
                                  const CleaningOptions& options) {
  const int count = static_cast<int>(std::min<std::size_t>(items.size(), INT_MAX));
  const int workers = std::min(workers_, std::max(count, 1));
  std::vector<FileNotes> notes(static_cast<std::size_t>(workers));
  std::vector<std::unique_ptr<FileStore>> stores;
  for (FileNotes& workerNotes : notes) stores.push_back(makeStore_(workerNotes));
  if (workers == 1) return BatchJob(*stores.front(), observer_).Run(items, options, notes.front());

  Shared shared(items, options, count, workers * kAheadPerWorker,
                FirstNames(*stores.front(), items));
  std::vector<std::thread> threads;
  try {
    for (int w = 0; w < workers; ++w) {
      const auto at = static_cast<std::size_t>(w);
      threads.emplace_back(Work, std::ref(shared), std::ref(*stores[at]), std::ref(notes[at]));
    }
  } catch (const std::system_error&) {
    // Fewer threads than asked for: those that started do the work.
    if (threads.empty()) return BatchJob(*stores.front(), observer_).Run(items, options, notes[0]);
  }
  const RunCounters counters = Report(shared);
  for (std::thread& thread : threads) thread.join();
  for (const auto& store : stores) store->Flush();
  observer_.RunEnded(counters, counters.fileCount > shared.reported);
  return counters;
}

// A worker's store, and the outcomes it knows but has not posted yet:
// they are posted once the store has let their files go, so that another
// worker never finds a file it may take still held.
struct ParallelBatchJob::Worker {
  Shared& shared;
  FileStore& store;
  FileNotes& notes;
  std::vector<std::pair<int, FileOutcome>> ready;

  void PostReady() {
    for (auto& [index, outcome] : ready) shared.Post(index, std::move(outcome));
    ready.clear();
  }
  void Commit() {
    store.Commit();
    PostReady();
  }
};

// Each worker holds its saves back in batches: before it waits for anything
// (room to take a file, another name's file) it commits what it holds, so
// that no file it holds is what it, or another worker, waits for.
void ParallelBatchJob::Work(Shared& shared, FileStore& store, FileNotes& notes) {
  Worker worker{shared, store, notes, {}};
  for (;;) {
    int index = 0;
    {
      std::unique_lock lock(shared.mutex);
      if (!shared.MayTake()) {
        lock.unlock();
        worker.Commit();
        lock.lock();
      }
      shared.changed.wait(lock, [&] { return shared.MayTake(); });
      if (shared.stop || shared.next >= shared.count) break;
      index = shared.next++;
    }
    try {
      Process(shared, worker, index);
    } catch (const std::bad_alloc&) {
      FileOutcome outcome;
      outcome.result = FileOutcome::Result::kFailed;
      outcome.error = FileError{FileProblem::kOutOfMemory};
      worker.ready.emplace_back(index, std::move(outcome));
    }
    worker.PostReady();
    if (store.BatchFull()) worker.Commit();
  }
  worker.Commit();
}

void ParallelBatchJob::Process(Shared& shared, Worker& worker, int index) {
  const RunItem& item = shared.items[static_cast<std::size_t>(index)];
  // Of two names of one file the first cleans it, as in a serial run; the
  // second is loaded only once the first is done.
  const int first = shared.firstNames[static_cast<std::size_t>(index)];
  if (first != index) {
    std::unique_lock lock(shared.mutex);
    if (!shared.Finished(first)) {
      lock.unlock();
      worker.Commit();
      lock.lock();
    }
    shared.changed.wait(lock, [&] { return shared.Finished(first); });
  }
  CleanItemInBatch(worker.store, item, first == index, shared.options, worker.notes,
                   [&worker, index](FileOutcome outcome) {
                     worker.ready.emplace_back(index, std::move(outcome));
                   });
}

RunCounters ParallelBatchJob::Report(Shared& shared) {
  RunCounters counters{shared.count, 0, 0, 0};
  std::unique_lock lock(shared.mutex);
  while (shared.reported < shared.count) {
    lock.unlock();
    observer_.DrainEvents();
    const bool stopRequested = observer_.StopRequested();
    lock.lock();
    if (stopRequested && !shared.stop) {
      shared.stop = true;
      shared.changed.notify_all();
    }
    if (shared.stop && shared.reported == shared.next) break;
    const auto found = shared.done.find(shared.reported);
    if (found == shared.done.end()) {
      shared.changed.wait_for(lock, kStopPoll);
      continue;
    }
    const FileOutcome outcome = std::move(found->second);
    shared.done.erase(found);
    const int index = shared.reported;
    lock.unlock();
    const std::string& path = shared.items[static_cast<std::size_t>(index)].path;
    observer_.FileStarted(index, path, ProgressPercent(index + 1, shared.count));
    ReportFile(observer_, counters, index, path, outcome);
    lock.lock();
    ++shared.reported;
    shared.changed.notify_all();
  }
  return counters;
}

}  // namespace quillmere
