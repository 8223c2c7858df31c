#include "engine/ContentsLines.h"

#include "engine/Characters.h"
#include "platform/Error.h"

namespace vantrel {

std::string UpperExtension(std::string_view entry, const LeadByteTable &leadBytes) {
  const std::size_t nameStart = FindLastOf(entry, "\\:", leadBytes);
  const std::size_t dot = FindLastOf(entry, ".", leadBytes);
  if (dot == std::string_view::npos || (nameStart != std::string_view::npos && dot < nameStart))
    return "";
  std::string extension(entry.substr(dot));
  UpperCaseAscii(extension, leadBytes);
  return extension;
}

std::string DirectiveLine(const std::string &entry, const LeadByteTable &leadBytes) {
  const std::string extension = UpperExtension(entry, leadBytes);
  if (extension == ".CNT")
    return ":Include " + entry;
  if (extension == ".HLP")
    return ":Link " + entry;
  return "";
}

std::string DirectiveFile(std::string_view line) {
  const std::size_t word = line.find(' ');
  if (word == std::string_view::npos)
    return "";
  const std::size_t start = line.find_first_not_of(" \t", word);
  const std::size_t end = line.find_last_not_of(" \t");
  return start == std::string_view::npos ? "" : std::string(line.substr(start, end + 1 - start));
}

std::string DirectiveKey(std::string_view line, const LeadByteTable &leadBytes) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  std::string text(line);
  UpperCaseAscii(text, leadBytes);
  return text;
}

void RefuseUtf16(std::string_view firstBytes, const std::string &contentsPath) {
  if (firstBytes.size() >= 2 && ((firstBytes[0] == '\xFF' && firstBytes[1] == '\xFE') ||
                                 (firstBytes[0] == '\xFE' && firstBytes[1] == '\xFF')))
    throw Error("The help contents file " + contentsPath +
                " is saved as UTF-16 text, which this program cannot change. It has been left "
                "unchanged.");
}

} // namespace vantrel
