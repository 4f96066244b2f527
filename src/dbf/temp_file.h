// Names of the temporary files the index builder's external sort writes.
#pragma once

#include <string>

namespace qxdbf {

// The directory word that stands for the system temporary directory.
constexpr const char* kSystemTempPath = "SYSTEM_TMP_PATH";

// Creates a new, empty file with a unique name starting "QxT" and answers its
// full name; the file is closed and left for the caller to use and delete.
//
// `directory` is where the file goes:
//  - kSystemTempPath: the system temporary directory ($TMPDIR, else /tmp).
//    That text is cut at its first character with a code below 33, and a "/"
//    put in its place, so "/tmp/my dir" becomes "/tmp/my/": the name handed
//    out never holds a blank or control character, which command lines and
//    older tools split at.
//  - empty: the current directory.
//  - anything else: that directory; a "/" is added when it does not end in one.
// Answers the empty text when the file cannot be created (for instance when
// the directory does not exist or is not writable).
std::string MakeTempFileName(const std::string& directory);

}  // namespace qxdbf
