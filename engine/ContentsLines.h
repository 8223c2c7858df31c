#pragma once
// The lines that registration writes into a contents file and removal takes
// out again, and the one kind of file that neither may touch.

#include "platform/CharacterSet.h"

#include <string>
#include <string_view>

namespace vantrel {

// The entry's extension (from the last dot of its file name), upper-cased;
// empty when the name has no dot.
std::string UpperExtension(std::string_view entry, const LeadByteTable &leadBytes);

// The directive line for the entry, or empty when its extension calls for none.
std::string DirectiveLine(const std::string &entry, const LeadByteTable &leadBytes);

// The file that a ":Link" or ":Include" line names: what follows the
// directive word, without the spaces around it.
std::string DirectiveFile(std::string_view line);

// The form in which a contents line is compared with a directive line.
std::string DirectiveKey(std::string_view line, const LeadByteTable &leadBytes);

// Raises, naming the file, when its first bytes mark it as UTF-16 text.
void RefuseUtf16(std::string_view firstBytes, const std::string &contentsPath);

} // namespace vantrel
