// Case-insensitive comparison of ISO 8859-1 texts.
//
// Field and parameter names are looked up without regard to case, and keyed
// lookups in snapshots may ignore case too. The point-of-sale texts are
// single-byte ISO 8859-1, so the accented letters fold as well (0xE9 "é"
// matches 0xC9 "É"); the process locale plays no part.
#pragma once

#include <string>

namespace veltrix {

// The upper-case form of one ISO 8859-1 character.
char UpperLatin1(char c);

// `text` with every character folded by UpperLatin1.
std::string UpperLatin1(const std::string& text);

// True when a and b are equal after folding.
bool SameTextLatin1(const std::string& a, const std::string& b);

}  // namespace veltrix
