// Merge speed on the shared line reader over an in-memory file: 200 entries,
// half of them already in a 5 MB contents file, found in one read of it, for
// each line-end style, and for Japanese topic lines under code page 932.
#include "bench/SyntheticContents.h"
#include "engine/MergeContents.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/StandInCharacterSet.h"

#include <benchmark/benchmark.h>

namespace {

using vantrel::bench::LineEnds;

void BM_MergeContents(benchmark::State &state) {
  const auto ends = static_cast<LineEnds>(state.range(0));
  const vantrel::bench::MergeWorkload workload = vantrel::bench::MakeMergeWorkload(ends);
  const vantrel::TargetProfile &profile = vantrel::ProfileForVersion(4);
  const std::string root = "C:\\IDE";
  vantrel::test::MemoryFileSystem fs;
  const vantrel::LeadByteTable leadBytes =
      ends == LineEnds::Japanese ? vantrel::test::CodePage932() : vantrel::LeadByteTable();
  for (auto _ : state) {
    state.PauseTiming();
    fs.files[vantrel::ContentsPath(profile, root)] = workload.contents;
    state.ResumeTiming();
    vantrel::MergeContents(profile, root, workload.list, fs, fs, leadBytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * workload.scanned));
  state.SetLabel(vantrel::bench::LineEndName(ends));
}
BENCHMARK(BM_MergeContents)
    ->Arg(static_cast<int>(LineEnds::CrLf))
    ->Arg(static_cast<int>(LineEnds::Lf))
    ->Arg(static_cast<int>(LineEnds::Cr))
    ->Arg(static_cast<int>(LineEnds::Japanese))
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
