// How long the preview of a large page takes to open, and how long the
// window's thread is kept busy meanwhile: the reading, cleaning and diffing
// run on a worker, the window only lays out the lines in sight.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "cleaning_groups.h"
#include "file_preview.h"
#include "html_page_generator.h"
#include "preview_dlg.h"

namespace quillmere {
namespace {

CleaningOptions EveryGroup() {
  CleaningOptions options;
  options.pdaPreset = true;
  SetPdaSwitches(options);
  options.removeFonts = true;
  options.convertTables = true;
  return options;
}

// A page of about `bytes` on disk, in a folder that lives as long as the run.
std::string PageOnDisk(std::size_t bytes) {
  static QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("page-%1.html").arg(bytes)).toStdString();
  std::ofstream(path, std::ios::binary) << bench::GenerateHtml(bytes);
  return path;
}

void BM_PreviewFile(benchmark::State& state) {
  const std::string path = PageOnDisk(static_cast<std::size_t>(state.range(0)));
  const std::unique_ptr<FileStore> files = MakeSystemFileStore();
  for (auto _ : state) {
    benchmark::DoNotOptimize(PreviewFile(*files, path, EveryGroup()));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PreviewFile)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

// From the dialog's creation to its first paint with the texts, and the
// longest time the event loop went without turning meanwhile.
void BM_OpenPreviewDialog(benchmark::State& state) {
  const std::string path = PageOnDisk(static_cast<std::size_t>(state.range(0)));
  const std::unique_ptr<FileStore> files = MakeSystemFileStore();
  double longestBlock = 0;
  for (auto _ : state) {
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = std::max(longest, sinceTick.restart()); });
    ticker.start(1);
    sinceTick.start();
    CPreviewDlg preview(nullptr, *files, path, EveryGroup());
    preview.show();
    while (!preview.ready()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    preview.grab();
    longest = std::max(longest, sinceTick.elapsed());
    longestBlock = std::max(longestBlock, static_cast<double>(longest));
  }
  state.counters["longest_ui_block_ms"] = longestBlock;
}
BENCHMARK(BM_OpenPreviewDialog)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quillmere
