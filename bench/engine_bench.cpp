// Cleaning throughput on realistic pages, and how each primitive scales on
// adversarial input (time must grow linearly: compare n with 8n, and the
// fitted complexity).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>

#include "cleaning_groups.h"
#include "cleaning_pass.h"
#include "heap_tracker.h"
#include "html_page_generator.h"
#include "text_primitives.h"

namespace quillmere::bench {
namespace {

CleaningOptions AllGroups() {
  CleaningOptions o;
  o.convertTables = o.removeScripts = o.removePictures = o.removeForms = o.removeSounds = 1;
  o.cleanNotes = o.convertLists = o.removeFonts = 1;
  o.removeTextEnabled = 1;
  o.removeText = "quietly ";
  o.removeBlockEnabled = 1;
  o.blockBegin = "<h2";
  o.blockEnd = "</h2>";
  o.searchEnabled = 1;
  o.searchText = "river";
  o.replaceText = "stream";
  return o;
}

const std::string& RealisticPage(std::size_t megabytes) {
  static std::map<std::size_t, std::string> pages;
  auto& page = pages[megabytes];
  if (page.empty()) page = GenerateHtml(megabytes << 20);
  return page;
}

// Runs `edit` on a fresh copy of `input` per iteration; reports throughput and
// the peak heap while editing as a multiple of the input size.
void RunOnCopies(benchmark::State& state, const std::string& input,
                 const std::function<void(TextBuffer&)>& edit) {
  double peakRatio = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TextBuffer buffer{input, false};
    const std::size_t before = LiveHeapBytes();
    ResetPeakHeap();
    state.ResumeTiming();
    edit(buffer);
    benchmark::DoNotOptimize(buffer.text.data());
    state.PauseTiming();
    const double used = static_cast<double>(PeakHeapBytes() - before + input.size());
    peakRatio = std::max(peakRatio, used / static_cast<double>(input.size()));
    buffer = {};
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
  state.counters["peak_x_input"] = peakRatio;
}

void BM_CleanTextAllGroups(benchmark::State& state) {
  const auto& page = RealisticPage(static_cast<std::size_t>(state.range(0)));
  const CleaningOptions options = AllGroups();
  RunOnCopies(state, page, [&](TextBuffer& b) { CleanText(b, options); });
}
// From 1 MiB on, the chains of a pass run side by side on threads of their
// own, so the cleaning benchmarks count the wall time.
BENCHMARK(BM_CleanTextAllGroups)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

// A small page, as in a batch of many files: the fixed cost of one pass.
void BM_CleanTextSmallPage(benchmark::State& state) {
  static const std::string page = GenerateHtml(4096);
  const CleaningOptions options = AllGroups();
  for (auto _ : state) {
    TextBuffer buffer{page, false};
    CleanText(buffer, options);
    benchmark::DoNotOptimize(buffer.text.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CleanTextSmallPage)->Unit(benchmark::kMicrosecond);

void BM_CleanTextPdaPreset(benchmark::State& state) {
  const auto& page = RealisticPage(static_cast<std::size_t>(state.range(0)));
  CleaningOptions options;
  options.pdaPreset = 1;
  SetPdaSwitches(options);
  RunOnCopies(state, page, [&](TextBuffer& b) { CleanText(b, options); });
}
BENCHMARK(BM_CleanTextPdaPreset)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

// The hand-written search against the standard library's, over a whole
// realistic page (the pattern does not occur), so its worth stays visible.
constexpr std::string_view kAbsentTag = "</marquee>";

void BM_Search_FindText(benchmark::State& state) {
  const auto& page = RealisticPage(16);
  for (auto _ : state) benchmark::DoNotOptimize(FindText(kAbsentTag, page, 0, true));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Search_FindText)->Unit(benchmark::kMillisecond);

void BM_Search_FindTextIgnoringCase(benchmark::State& state) {
  const auto& page = RealisticPage(16);
  for (auto _ : state) benchmark::DoNotOptimize(FindText(kAbsentTag, page, 0, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Search_FindTextIgnoringCase)->Unit(benchmark::kMillisecond);

void BM_Search_StringViewFind(benchmark::State& state) {
  const std::string_view page = RealisticPage(16);
  for (auto _ : state) benchmark::DoNotOptimize(page.find(kAbsentTag));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Search_StringViewFind)->Unit(benchmark::kMillisecond);

template <class Searcher>
void BM_Search_Std(benchmark::State& state) {
  const std::string_view page = RealisticPage(16);
  const Searcher searcher(kAbsentTag.begin(), kAbsentTag.end());
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::search(page.begin(), page.end(), searcher));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Search_Std<std::boyer_moore_horspool_searcher<std::string_view::const_iterator>>)
    ->Name("BM_Search_StdBoyerMooreHorspool")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_Std<std::boyer_moore_searcher<std::string_view::const_iterator>>)
    ->Name("BM_Search_StdBoyerMoore")
    ->Unit(benchmark::kMillisecond);

// Adversarial inputs: n units, so the complexity fit is against n.
struct Adversary {
  const char* name;
  std::string unit;
  std::string head;
  std::function<void(TextBuffer&)> edit;
};

const std::vector<Adversary>& Adversaries() {
  static const std::vector<Adversary> all = {
      {"RemoveBlocks_img_tags", "<img x>", "", [](TextBuffer& b) { RemoveBlocks(b, "<img", ">"); }},
      {"RemoveBlocks_comments", "<!-- c -->", "",
       [](TextBuffer& b) { RemoveBlocks(b, "<!--", "-->"); }},
      {"RemoveBlocks_unterminated_script", "<p>text</p>", "<script>",
       [](TextBuffer& b) { RemoveBlocks(b, "<script", "/script>"); }},
      {"ReplaceBlocks_cells", "<td x>", "",
       [](TextBuffer& b) { ReplaceBlocks(b, "<td", ">", "<p>"); }},
      {"ReplaceAllText_adjacent_BR", "<BR>", "",
       [](TextBuffer& b) { ReplaceAllText(b, "<BR><BR>", "<BR>", false); }},
      {"ReplaceAllText_target_in_replacement", "foo ", "",
       [](TextBuffer& b) { ReplaceAllText(b, "foo", "FOO", false); }},
      {"RemoveAllText_empty_paragraphs", "<p></p>", "",
       [](TextBuffer& b) { RemoveAllText(b, "<P></P>"); }},
      {"ReplaceOnePass_double_spaces", "  ", "",
       [](TextBuffer& b) { ReplaceOnePass(b, "  ", " "); }},
      // The whole cleaning pass, whose steps run together in one pass over
      // the text: block look-backs that cascade, runs a stage must hold,
      // removals that form later targets, and stops at every byte.
      {"CleanText_cascading_cells", "<<td x>", "",
       [](TextBuffer& b) { CleanText(b, AllGroups()); }},
      {"CleanText_held_run", "<", "", [](TextBuffer& b) { CleanText(b, AllGroups()); }},
      {"CleanText_forming_tags", "<<B>/B>", "", [](TextBuffer& b) { CleanText(b, AllGroups()); }},
      {"CleanText_breaks_and_spaces", "<BR>  ", "",
       [](TextBuffer& b) { CleanText(b, AllGroups()); }},
      {"CleanText_unterminated_comment", "<p>  x</p>", "<!--",
       [](TextBuffer& b) { CleanText(b, AllGroups()); }},
      // Every offset passes the byte filter; the search must fall back to
      // its linear mode instead of verifying 41 bytes at each.
      {"FindText_repetitive", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "",
       [](TextBuffer& b) {
         const std::string pattern = std::string(20, 'a') + "b" + std::string(20, 'a');
         benchmark::DoNotOptimize(FindText(pattern, b.text, 0, false));
       }},
  };
  return all;
}

void BM_Adversarial(benchmark::State& state, const Adversary& adversary) {
  const std::string input =
      adversary.head + Repeat(adversary.unit, static_cast<std::size_t>(state.range(0)));
  RunOnCopies(state, input, adversary.edit);
  state.SetComplexityN(state.range(0));
}

const bool kRegistered = [] {
  for (const auto& adversary : Adversaries()) {
    benchmark::RegisterBenchmark((std::string("BM_Adversarial/") + adversary.name).c_str(),
                                 BM_Adversarial, adversary)
        ->Arg(200'000)
        ->Arg(1'600'000)
        ->Complexity(benchmark::oN)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}();

}  // namespace
}  // namespace quillmere::bench

BENCHMARK_MAIN();
