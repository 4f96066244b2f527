// Log and caption texts for display. The bridge core writes its own texts in
// UTF-8, but it copies values out of the two stores unchanged, and those are
// single-byte: Windows-1252 on the legacy side, ISO 8859-1 at the point of
// sale. A line may therefore mix both encodings ("Erro(...): " followed by a
// legacy product name).
#pragma once

#include <string>
#include <string_view>

namespace veltrix::ui {

// `bytes` as UTF-8 for the screen: every well-formed UTF-8 sequence is kept
// as it is and every other byte is read as Windows-1252 (whose printable
// range covers ISO 8859-1's); the five bytes Windows-1252 leaves undefined
// become U+FFFD. A line that is valid UTF-8 as a whole is returned
// unchanged. The stored data is never converted; this is for display only.
std::string DisplayText(std::string_view bytes);

}  // namespace veltrix::ui
