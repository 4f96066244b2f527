// Exceptions of the DBF engine.
//
// Every failure of the engine is an EQxDBFError carrying the message text the
// callers and the log show ("TQxSmartDBF.InternalOpen: Open error ..."). The
// subclasses only sort failures into a few kinds so that callers that care can
// tell a damaged file from a refused operation; nothing inspects codes.
// Expected outcomes (a refused lock, end of file) are return values, not
// exceptions.
#pragma once

#include <stdexcept>
#include <string>

namespace qxdbf {

class EQxDBFError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The operating system refused a read, write, open or create.
class EQxDBFIoError : public EQxDBFError {
 public:
  using EQxDBFError::EQxDBFError;
};

// The bytes of a file do not form what they claim to be.
class EQxDBFCorruptFile : public EQxDBFError {
 public:
  using EQxDBFError::EQxDBFError;
};

// A caller asked for something the engine cannot do with these arguments.
class EQxDBFBadArgument : public EQxDBFError {
 public:
  using EQxDBFError::EQxDBFError;
};

}  // namespace qxdbf
