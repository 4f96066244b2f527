// Text translation between the OEM code page (850) that DOS programs keep
// inside their table files and the ANSI code page (1252) the callers use.
//
// Bytes below 0x80 are the same in both. A character that the target code
// page lacks becomes "?", as the Windows conversion does for characters
// without a best fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qxdbf {

void OemToAnsiBuffer(uint8_t* data, size_t length);
void AnsiToOemBuffer(uint8_t* data, size_t length);

std::string OemToAnsi(std::string text);
std::string AnsiToOem(std::string text);

}  // namespace qxdbf

namespace qxdbf {

// Upper case of ANSI (code page 1252) text: ASCII letters and the accented
// letters of the code page.
std::string AnsiUpperCase(std::string text);
char AnsiUpper(char c);

}  // namespace qxdbf
