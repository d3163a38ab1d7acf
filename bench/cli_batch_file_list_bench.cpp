// Filling the file list: every path is checked against the listed ones
// without a scan of the list, so adding N paths takes time linear in N.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "file_list.h"

namespace quillmere {
namespace {

std::vector<std::string> Paths(std::int64_t count) {
  std::vector<std::string> paths;
  for (std::int64_t i = 0; i < count; ++i) {
    paths.push_back("/home/user/documents/site/pages/page_" + std::to_string(i) + ".html");
  }
  return paths;
}

// Adds the given number of distinct paths, then the same paths again.
void BM_AddPaths(benchmark::State& state) {
  const std::vector<std::string> paths = Paths(state.range(0));
  for (auto _ : state) {
    FileList list;
    for (const std::string& path : paths) list.Add(path);
    for (const std::string& path : paths) list.Add(path);
    benchmark::DoNotOptimize(list.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_AddPaths)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillmere

BENCHMARK_MAIN();
