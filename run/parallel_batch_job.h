#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "batch_job.h"
#include "file_outcome.h"
#include "file_store.h"

namespace quillmere {

// Makes the file store of one worker. A store may not be shared between
// threads (a SafeFileStore remembers the file it loaded last), so each
// worker has its own; what it notices of the file in hand goes to `notes`.
using WorkerStoreMaker = std::function<std::unique_ptr<FileStore>(FileNotes& notes)>;

// One run over a list by several workers at once, each cleaning one file at
// a time. The result is that of a serial run:
// - the files are told apart before any worker starts, so the first name of
//   a file met under several names cleans it, and the others wait for it
//   and count as unchanged;
// - the observer hears of the files in the list's order, on the thread that
//   called Run, and the counters are a serial run's;
// - workers take a file only while it is fewer than a few per worker ahead
//   of the first file not yet reported, so memory follows the files in hand;
// - each worker's saves are held back in batches and told done, and so
//   reported, only once their batch is durable;
// - a stop request lets every worker finish its file and the batch it
//   holds, and take no other.
// With one worker the run is the serial BatchJob on the calling thread.
class ParallelBatchJob {
 public:
  ParallelBatchJob(WorkerStoreMaker makeStore, BatchObserver& observer, int workers);

  RunCounters Run(const std::vector<RunItem>& items, const CleaningOptions& options);

 private:
  struct Shared;
  struct Worker;
  static void Work(Shared& shared, FileStore& store, FileNotes& notes);
  static void Process(Shared& shared, Worker& worker, int index);
  RunCounters Report(Shared& shared);

  WorkerStoreMaker makeStore_;
  BatchObserver& observer_;
  int workers_;
};

}  // namespace quillmere
