#pragma once

#include <string>

// Text as it can be printed on one stderr line: a control character in a
// file name (a CR would start a line that front ends read as the encoder's
// own, a fake "Duration:" for one) is written as \r, \n, \t or \xHH.
std::string Printable(const std::string& text);
