// How long the file list takes to take in many paths at its top, to fit its
// column and to lay them all out, through the same calls a drop makes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "main_dlg.h"
#include "resource_ids.h"

namespace quillmere {
namespace {

std::vector<std::string> Paths(int count) {
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    paths.push_back("/home/user/documents/site/pages/page-" + std::to_string(i) + ".html");
  }
  return paths;
}

void BM_InsertAtTop(benchmark::State& state) {
  const auto paths = Paths(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    CMainDlg window;
    window.show();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    for (const std::string& path : paths) window.platform().ListInsertAtTop(path);
    window.platform().ListFitColumn();
    // The view lays the items out when it next handles its events.
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(window.platform().ListCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertAtTop)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One more file added to a long list: only the new path is measured.
void BM_AddOneToLongList(benchmark::State& state) {
  CMainDlg window;
  window.show();
  for (const std::string& path : Paths(static_cast<int>(state.range(0)))) {
    window.platform().ListInsertAtTop(path);
  }
  window.platform().ListFitColumn();
  QCoreApplication::processEvents();
  int next = 0;
  for (auto _ : state) {
    window.platform().ListInsertAtTop("/extra/" + std::to_string(next++));
    window.platform().ListFitColumn();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_AddOneToLongList)->Arg(100000)->Unit(benchmark::kMillisecond);

// A drop of many files: each path is checked against the list, put at the top
// and reported in the status line and the progress bar.
void BM_DropOfManyFiles(benchmark::State& state) {
  const auto paths = Paths(static_cast<int>(state.range(0)));
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  QMimeData data;
  data.setUrls(urls);
  for (auto _ : state) {
    state.PauseTiming();
    CMainDlg window;
    window.show();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    if (window.platform().ListCount() != state.range(0)) state.SkipWithError("drop lost paths");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DropOfManyFiles)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmere

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
