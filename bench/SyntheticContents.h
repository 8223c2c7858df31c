#pragma once
// A large master contents file and a help-file list for measuring the merge:
// about 5 MB of topic lines, with half of the listed files already linked
// somewhere in it, in the line-end style asked for.

#include "engine/HelpFileList.h"

#include <string>

namespace vantrel::bench {

// The line-end styles, and Japanese topic lines in code page 932 (CR LF).
enum class LineEnds { CrLf, Lf, Cr, Japanese };

inline const char *LineEndName(LineEnds ends) {
  switch (ends) {
  case LineEnds::CrLf:
    return "CR LF";
  case LineEnds::Lf:
    return "LF";
  case LineEnds::Cr:
    return "CR";
  case LineEnds::Japanese:
    return "932 CR LF";
  }
  return "?";
}

struct MergeWorkload {
  std::string contents;
  HelpFileList list;      // every other entry is in `contents` already
  std::size_t scanned{0}; // bytes one merge reads: the file, once for all entries
};

inline MergeWorkload MakeMergeWorkload(LineEnds ends, int entries = 200,
                                       std::size_t bytes = 5'000'000) {
  const std::string end = ends == LineEnds::Lf ? "\n" : ends == LineEnds::Cr ? "\r" : "\r\n";
  const bool japanese = ends == LineEnds::Japanese;
  // In code page 932: 部品 (parts), トピック (topic), 表示 (display; its
  // second byte is 5C), 番号 (number).
  const std::string name = japanese ? "\x95\x94\x95\x69" : "Comp";
  const std::string topic =
      japanese ? "\x83\x67\x83\x73\x83\x62\x83\x4E\x95\x5C\x8E\xA6" : "Topic number ";
  const std::string number = japanese ? "\x94\xD4\x8D\x86" : " of the reference";
  MergeWorkload workload;
  HelpFileList present;
  for (int i = 0; i < entries; ++i) {
    workload.list.push_back(name + std::to_string(i) + (i % 2 == 0 ? ".hlp" : ".cnt"));
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
      text += "3 " + topic + std::to_string(i) + "=topic_" + std::to_string(i) + "@vcl4.hlp" + end;
    else
      text += std::to_string(i % 4 + 1) + " " + topic + std::to_string(i) + number + "=topic_" +
              std::to_string(i) + end;
  }
  while (next < present.size())
    text += ":Link " + present[next++] + end;
  workload.scanned = text.size();
  return workload;
}

} // namespace vantrel::bench
