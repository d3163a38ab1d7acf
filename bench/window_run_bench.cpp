// The window's run over a folder's tree, offscreen, as a user starts it: the
// folder is added through the list's menu, one literal text is set to be
// removed, START is pressed and the run goes to its end. Prints the run's
// wall time in seconds; a file that fails shows its box, so the tree should
// hold only files that can be cleaned.
// Usage: window_run_bench FOLDER TEXT [WORKERS]  (default: a worker per core;
// 1 is the serial run, one file at a time)
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "main_dlg.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: window_run_bench FOLDER TEXT [WORKERS]\n");
    return 2;
  }
  quillmere::CMainDlg window;
  if (argc == 4) window.logic().RunOnWorkers(quillmere::MakeSystemFileStore, std::atoi(argv[3]));
  window.show();
  QCoreApplication::processEvents();
  window.logic().OnAddFolder(argv[1]);
  quillmere::WindowFields& fields = window.fields();
  fields.options.removeTextEnabled = true;
  fields.options.removeText = argv[2];
  window.services().ExchangeData(fields, quillmere::ExchangeDirection::kWrite);
  QElapsedTimer timer;
  timer.start();
  window.logic().OnStart();
  const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
  const quillmere::RunCounters& counters = window.logic().counters();
  std::printf("%.2f s, %d files, %d replaced, %d errors\n", seconds, counters.fileCount,
              counters.replacedCount, counters.errorCount);
  return counters.errorCount == 0 ? 0 : 1;
}
