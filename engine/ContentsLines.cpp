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
