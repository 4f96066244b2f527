// Where the bridge finds the legacy files.
//
// A derived path is the data directory as given, "/" and the file name;
// the directory is not normalised (a trailing "/" gives two). Legacy
// programs create their files in upper case while the bridge names some in
// lower case, and Linux file names are case-sensitive: when no file has the
// exact name, the first entry of the directory whose name matches without
// regard to case is used.
#pragma once

#include <string>

namespace veltrix {

// Default data directory (the shop's "C:\VELTRIX" without its drive letter).
inline constexpr const char* kDefaultDataDirectory = "/VELTRIX";

// directory + "/" + name, with the name's case taken from an existing file
// when only a file of another case exists.
std::string LegacyPath(const std::string& directory, const std::string& name);

// An argument counts as absent when missing or empty.
std::string ArgumentOr(int argc, char** argv, int index, const std::string& fallback);

}  // namespace veltrix
