// Cutting a table back to a record count: the undo of appends a caller
// decides not to keep.
#include <string>

#include "dbf/errors.h"
#include "dbf/smart_dbf.h"

namespace qxdbf {

void TQxSmartDBF::TruncateRecords(int32_t count) {
  if (!Active()) throw EQxDBFError("TQxSmartDBF.TruncateRecords: Table is not open");
  // A failed post leaves its record in the insert state; it is given up
  // with the others.
  Cancel();
  if (!LockHeader()) throw EQxDBFError("TQxSmartDBF.TruncateRecords: Can not lock DBF header.");
  struct HeaderRelease {
    TQxSmartDBF& table;
    ~HeaderRelease() { table.UnlockHeader(); }
  } release{*this};
  const int32_t current = file_.RecordCount();
  if (count < 0 || count > current)
    throw EQxDBFBadArgument("TQxSmartDBF.TruncateRecords: " + std::to_string(count) +
                            " is not a record count between 0 and " + std::to_string(current));
  TProxyStream& proxy = file_.Proxy();
  // Also drops a partly written record or a stray byte after the last one.
  const int32_t end = file_.RecordPosition(count + 1);
  if (end < 0 || proxy.Seek(end, 0) != end || !proxy.Truncate()) RaiseWriteError();
  // The close only adds a missing end marker and never rewrites the header,
  // so the count must be right here.
  file_.Header().SetRecordCount(static_cast<uint32_t>(count));
  if (!file_.WriteHeader()) RaiseWriteError();
  // The same rule as the close: a 0x1A unless the file ends with one
  // already (an empty table's header carries its own).
  file_.EnsureEndOfFileMarker();
  // The read window may still hold records that are gone.
  window_.Empty();
  First();
}

}  // namespace qxdbf
