// The stamp of the legacy change marker (KQ000062.DAT).
//
// The legacy programs rewrite the marker whenever their data changes; the
// bridge compares its last-write time to decide whether to export the
// catalogue again. The file is opened without sharing first: while a legacy
// program holds it open (and is still writing), the open fails and the
// stamp is not taken.
#pragma once

#include <string>

namespace veltrix {

// Local last-write time of the file in the two-second steps of DOS file
// dates, as days since 30 December 1899 with the time as fraction. Raises
// qxdbf::EQxDBFIoError when the file cannot be opened without sharing.
double dataAtualizacaoVeltrix(const std::string& marker_path);

// "dd/mm/yyyy hh:mm:ss" of such a stamp.
std::string FormatStamp(double stamp);

}  // namespace veltrix
