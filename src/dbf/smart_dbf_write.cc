#include "dbf/errors.h"
#include "dbf/smart_dbf.h"
namespace qxdbf {
void TQxSmartDBF::InternalPost() { throw EQxDBFError("TQxSmartDBF: writing is not built yet"); }
void TQxSmartDBF::InternalDelete() { throw EQxDBFError("TQxSmartDBF: writing is not built yet"); }
}  // namespace qxdbf
