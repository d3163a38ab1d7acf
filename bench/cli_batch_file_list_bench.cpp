// Filling the file list: every path is checked against the listed ones
// without a scan of the list, so adding N paths takes time linear in N.
#include <benchmark/benchmark.h>

#include <deque>
#include <string>
#include <vector>

#include "batch_run.h"
#include "file_list.h"

namespace quillmere {
namespace {

// A window whose list is a plain deque and which does nothing else.
class ListOnlyPlatform final : public PlatformServices {
 public:
  void EnableControl(int, bool) override {}
  void SetCaption(int, const std::string&) override {}
  int ListCount() override { return static_cast<int>(list.size()); }
  std::string ListItem(int index) override { return list[static_cast<std::size_t>(index)]; }
  void ListInsertAtTop(const std::string& path) override { list.push_front(path); }
  void ListDeleteAll() override { list.clear(); }
  void ListFitColumn() override {}
  void SetProgress(int) override {}
  void ShowMessage(const std::string&, const std::string&, MessageStyle) override {}
  void DrainEvents() override {}
  std::optional<std::vector<std::string>> ChooseFiles() override { return std::nullopt; }
  void ExchangeData(WindowFields&, ExchangeDirection) override {}

  std::deque<std::string> list;
};

class NoFiles final : public FileStore {
 public:
  LoadedFile Load(const std::string&) override { return {}; }
  bool Save(const std::string&, const std::string&) override { return false; }
};

std::vector<std::string> Paths(std::int64_t count) {
  std::vector<std::string> paths;
  for (std::int64_t i = 0; i < count; ++i) {
    paths.push_back("/home/user/documents/site/pages/page_" + std::to_string(i) + ".html");
  }
  return paths;
}

// Drops the given number of distinct paths, then the same paths again.
void BM_DropPaths(benchmark::State& state) {
  const std::vector<std::string> paths = Paths(state.range(0));
  for (auto _ : state) {
    ListOnlyPlatform platform;
    WindowFields fields;
    NoFiles files;
    BatchRun run(platform, fields, files);
    FileList list(platform, fields, run);
    list.OnDropFiles(paths);
    list.OnDropFiles(paths);
    benchmark::DoNotOptimize(platform.list.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_DropPaths)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmere

BENCHMARK_MAIN();
