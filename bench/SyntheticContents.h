#pragma once
// A large master contents file and a help-file list for measuring the merge:
// about 5 MB of topic lines, with half of the listed files already linked
// somewhere in it, in the line-end style asked for.

#include "engine/HelpFileList.h"

#include <string>

namespace vantrel::bench {

enum class LineEnds { CrLf, Lf, Cr };

inline const char *LineEndName(LineEnds ends) {
  switch (ends) {
  case LineEnds::CrLf:
    return "CR LF";
  case LineEnds::Lf:
    return "LF";
  case LineEnds::Cr:
    return "CR";
  }
  return "?";
}

struct MergeWorkload {
  std::string contents;
  HelpFileList list;      // every other entry is in `contents` already
  std::size_t scanned{0}; // bytes one merge reads: the file, once per entry
};

inline MergeWorkload MakeMergeWorkload(LineEnds ends, int entries = 200,
                                       std::size_t bytes = 5'000'000) {
  const std::string end = ends == LineEnds::CrLf ? "\r\n" : ends == LineEnds::Lf ? "\n" : "\r";
  MergeWorkload workload;
  HelpFileList present;
  for (int i = 0; i < entries; ++i) {
    workload.list.push_back("Comp" + std::to_string(i) + (i % 2 == 0 ? ".hlp" : ".cnt"));
    if (i % 2 == 0)
      present.push_back(workload.list.back());
  }
  std::string &text = workload.contents;
  text = ":Base Delphi4.hlp>main" + end + ":Title Delphi 4 Help" + end;
  const std::size_t linkEvery = bytes / 50 / (present.size() + 1) + 1;
  std::size_t next = 0;
  for (std::size_t i = 0; text.size() < bytes; ++i) {
    if (i % linkEvery == linkEvery - 1 && next < present.size())
      text += ":Link " + present[next++] + end;
    else if (i % 4 == 0) // a topic in another help file: a dot in the line
      text += "3 Topic number " + std::to_string(i) + "=topic_" + std::to_string(i) + "@vcl4.hlp" + end;
    else
      text += std::to_string(i % 4 + 1) + " Topic number " + std::to_string(i) +
              " of the reference=topic_" + std::to_string(i) + end;
  }
  while (next < present.size())
    text += ":Link " + present[next++] + end;
  // The appended lines come last: each entry scans at least the file as it was.
  workload.scanned = workload.list.size() * text.size();
  return workload;
}

} // namespace vantrel::bench
