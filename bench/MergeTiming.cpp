// Times the program's own merge on real files, as the program runs it: the
// Win32 text-file and copy services on a contents file in a temporary folder.
//
//   merge_timing [ENTRIES] [REPEATS]
//
// Prints one line per line-end style (and for Japanese lines under code page 932): the style, the
// file's size, the bytes one merge scans, and the best of REPEATS runs in seconds.
#include "bench/SyntheticContents.h"
#include "engine/MergeContents.h"
#include "tests/support/StandInCharacterSet.h"
#include "tests/support/TempFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
  using namespace vantrel;
  const int entries = argc > 1 ? std::atoi(argv[1]) : 200;
  const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
  try {
    test::TempFolder folder;
    const std::string root = folder / "IDE";
    test::CreateFolder(root);
    test::CreateFolder(root + "\\Help");
    const TargetProfile &profile = ProfileForVersion(4);
    for (bench::LineEnds ends : {bench::LineEnds::CrLf, bench::LineEnds::Lf, bench::LineEnds::Cr,
                                 bench::LineEnds::Japanese}) {
      const bench::MergeWorkload workload = bench::MakeMergeWorkload(ends, entries);
      const LeadByteTable leadBytes =
          ends == bench::LineEnds::Japanese ? test::CodePage932() : LeadByteTable();
      double best = 1e30;
      for (int run = 0; run < repeats; ++run) {
        test::WriteFileBytes(ContentsPath(profile, root), workload.contents);
        const auto start = std::chrono::steady_clock::now();
        MergeContents(profile, root, workload.list, SystemTextFiles(), SystemFileCopier(),
                      leadBytes);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = took.count() < best ? took.count() : best;
      }
      std::printf("%s\t%zu\t%zu\t%.6f\n", bench::LineEndName(ends), workload.contents.size(),
                  workload.scanned, best);
    }
  } catch (const std::exception &error) {
    std::fprintf(stderr, "merge_timing: %s\n", error.what());
    return 1;
  }
  return 0;
}
