// How long the file list takes to take in many paths at its top, to fit its
// column and to lay them all out, through the same calls a drop makes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "file_list_view.h"
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
    for (const std::string& path : paths) window.services().ListInsertAtTop(path);
    window.services().ListFitColumn();
    // The view lays the items out when it next handles its events.
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(window.typed().fileList->count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertAtTop)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One more file added to a long list: only the new path is measured.
void BM_AddOneToLongList(benchmark::State& state) {
  CMainDlg window;
  window.show();
  for (const std::string& path : Paths(static_cast<int>(state.range(0)))) {
    window.services().ListInsertAtTop(path);
  }
  window.services().ListFitColumn();
  QCoreApplication::processEvents();
  int next = 0;
  for (auto _ : state) {
    window.services().ListInsertAtTop("/extra/" + std::to_string(next++));
    window.services().ListFitColumn();
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
    if (window.typed().fileList->count() != state.range(0)) state.SkipWithError("drop lost paths");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DropOfManyFiles)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A folder tree of many files added through the list's menu: the time it
// takes, and the longest the window goes without handling its events (a
// timer that fires whenever it does).
void BM_AddFolderOfManyFiles(benchmark::State& state) {
  const QString folder = QDir::temp().filePath(QStringLiteral("quillmere-folder-bench"));
  const int count = static_cast<int>(state.range(0));
  QDir(folder).removeRecursively();
  for (int i = 0; i < count; ++i) {
    const QString sub = QStringLiteral("%1/d%2").arg(folder).arg(i / 1000);
    if (i % 1000 == 0) QDir().mkpath(sub);
    QFile(QStringLiteral("%1/page-%2.html").arg(sub).arg(i)).open(QIODevice::WriteOnly);
  }
  double longestGap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CMainDlg window;
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer sinceEvents;
    QTimer beat;
    beat.setInterval(0);
    QObject::connect(&beat, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, static_cast<double>(sinceEvents.nsecsElapsed()) / 1e6);
      sinceEvents.restart();
    });
    beat.start();
    sinceEvents.start();
    state.ResumeTiming();
    window.logic().OnAddFolder(folder.toStdString());
    if (window.typed().fileList->count() != count) state.SkipWithError("folder lost files");
  }
  state.counters["longest_ms_without_events"] = longestGap;
  state.SetItemsProcessed(state.iterations() * state.range(0));
  QDir(folder).removeRecursively();
}
BENCHMARK(BM_AddFolderOfManyFiles)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillmere
