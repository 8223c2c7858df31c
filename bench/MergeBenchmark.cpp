// Merge speed on a large contents file: 200 entries, half of them already in
// a 5 MB file of 100,000 lines, each entry searching the whole file afresh.
#include "engine/MergeContents.h"
#include "tests/support/MemoryFileSystem.h"

#include <benchmark/benchmark.h>

namespace {

const std::string Root = "C:\\IDE";

std::string EntryName(int i) {
  return "Comp" + std::to_string(i) + (i % 2 == 0 ? ".hlp" : ".cnt");
}

std::string SyntheticContents(int lines, const vantrel::HelpFileList &present) {
  std::string text = ":Base Delphi4.hlp>main\r\n:Title Delphi 4 Help\r\n";
  std::size_t next = 0;
  for (int i = 0; text.size() < 5'000'000 || i < lines; ++i) {
    if (i % 997 == 0 && next < present.size())
      text += ":Link " + present[next++] + "\r\n";
    else
      text += std::to_string(i % 4 + 1) + " Topic number " + std::to_string(i) +
              " of the reference=topic_" + std::to_string(i) + "\r\n";
  }
  return text;
}

void BM_MergeContents(benchmark::State &state) {
  vantrel::HelpFileList list, present;
  for (int i = 0; i < 200; ++i) {
    list.push_back(EntryName(i));
    if (i % 2 == 0)
      present.push_back(EntryName(i));
  }
  const std::string original = SyntheticContents(100'000, present);
  const vantrel::TargetProfile &profile = vantrel::ProfileForVersion(4);
  vantrel::test::MemoryFileSystem fs;
  std::size_t scanned = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs.files[vantrel::ContentsPath(profile, Root)] = original;
    state.ResumeTiming();
    vantrel::MergeContents(profile, Root, list, fs, fs);
    // Each entry reads the file as it stands then, appended lines included.
    scanned += list.size() * original.size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(scanned));
  state.counters["file_bytes"] = static_cast<double>(original.size());
}
BENCHMARK(BM_MergeContents)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
