#pragma once

#include <string>
#include <vector>

// A list of text lines: dropped paths, item paths, error-log lines.
using TStringList = std::vector<std::string>;

// The text with "," between groups of three characters counted from the right, a leading "-"
// not counted: "-1234" gives "-1,234".
std::string GroupDigits(const std::string& text);
