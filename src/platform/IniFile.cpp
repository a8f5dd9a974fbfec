#include "platform/IniFile.h"

#include <atomic>
#include <cstdint>
#include <string_view>

#include "platform/AsciiText.h"

namespace {

std::atomic<size_t> writeLimit{SIZE_MAX};

// The mark an editor may put before UTF-8 text. It is no part of the first line.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// "[name]" opens a section; a header missing its "]" still names one, as Windows reads it.
bool IsSectionHeader(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  line.remove_prefix(1);
  name = Trim(line.substr(0, line.find(']')));
  return true;
}

// A comment line (";") is never a key, even when it holds an "=".
bool IsKeyLine(std::string_view line, std::string_view& key) {
  std::string_view trimmed = Trim(line);
  size_t equals = trimmed.find('=');
  if (trimmed.empty() || trimmed.front() == ';' || equals == std::string_view::npos) return false;
  key = Trim(trimmed.substr(0, equals));
  return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

}  // namespace

TIniFile::TIniFile(std::string path) : FPath(std::move(path)) {
  std::string contents;
  switch (ReadIniFileContents(FPath, contents)) {
    case TIniReadResult::Read: {
      std::string_view text = contents;
      FByteOrderMark = text.starts_with(ByteOrderMark);
      if (FByteOrderMark) text.remove_prefix(ByteOrderMark.size());
      FLines = SplitLines(text);
      break;
    }
    case TIniReadResult::Missing:
      break;
    case TIniReadResult::Failed:
      FReadFailed = true;
      break;
  }
}

std::optional<size_t> TIniFile::FindKey(const std::string& section, const std::string& key) const {
  bool inSection = false;
  for (size_t i = 0; i < FLines.size(); ++i) {
    std::string_view name;
    if (IsSectionHeader(FLines[i], name))
      inSection = SameTextIgnoringCase(name, section);
    else if (inSection && IsKeyLine(FLines[i], name) && SameTextIgnoringCase(name, key))
      return i;
  }
  return std::nullopt;
}

// After the last line of the section's first occurrence that is not blank, so that the blank
// lines separating it from the next section stay where they are.
std::optional<size_t> TIniFile::FindKeyInsertPoint(const std::string& section) const {
  std::optional<size_t> point;
  for (size_t i = 0; i < FLines.size(); ++i) {
    std::string_view name;
    if (IsSectionHeader(FLines[i], name)) {
      if (point) return point;
      if (SameTextIgnoringCase(name, section)) point = i + 1;
    } else if (point && !Trim(FLines[i]).empty()) {
      point = i + 1;
    }
  }
  return point;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  std::optional<size_t> line = FindKey(section, key);
  if (!line) return defaultValue;
  std::string_view text = FLines[*line];
  return std::string(Trim(text.substr(text.find('=') + 1)));
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  if (std::optional<size_t> line = FindKey(section, key)) {
    std::string& text = FLines[*line];
    text.erase(text.find('=') + 1).append(value);
  } else if (std::optional<size_t> point = FindKeyInsertPoint(section)) {
    FLines.insert(FLines.begin() + std::ptrdiff_t(*point), key + "=" + value);
  } else {
    if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.emplace_back();
    FLines.push_back("[" + section + "]");
    FLines.push_back(key + "=" + value);
  }
}

bool TIniFile::UpdateFile() {
  if (FReadFailed) return false;
  const std::string mark = FByteOrderMark ? std::string(ByteOrderMark) : std::string();
  return ReplaceIniFileContents(FPath, mark + JoinLines(FLines));
}

TIniWriteLimit::TIniWriteLimit(size_t limit) : Previous(writeLimit.exchange(limit)) {}

TIniWriteLimit::~TIniWriteLimit() { writeLimit.store(Previous); }

size_t IniWriteLimit() { return writeLimit.load(); }
