#pragma once

// Windows tests only: a copy of a program whose manifest has lost its UTF-8 code page, so that it
// runs in the legacy code page, as on Windows before version 1903, which ignores that setting.
#include <fstream>
#include <iterator>
#include <string>

// The setting is turned into a comment of the same length, so that the file keeps its layout.
inline bool CopyWithoutUtf8CodePage(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Built at run time, so that the search finds the manifest, not these words in the program.
  const std::string element = std::string("active") + "CodePage";
  const std::string open = "<" + element;
  const std::string close = "</" + element + ">";
  const size_t start = bytes.rfind(open);
  const size_t end = bytes.find(close, start);
  if (start == std::string::npos || end == std::string::npos) return false;
  const size_t length = end + close.size() - start;
  bytes.replace(start, length, "<!--" + std::string(length - 7, ' ') + "-->");
  std::ofstream out(to, std::ios::binary);
  return bool(out << bytes);
}
