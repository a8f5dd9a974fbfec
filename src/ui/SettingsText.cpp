#include "ui/SettingsText.h"

#include <array>
#include <charconv>
#include <string_view>

#include "platform/AsciiText.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void SkipBlanks(const std::string& text, size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
}

// From the opening quote to the closing one; a field left open runs to the end of the text.
std::string ReadQuotedField(const std::string& text, size_t& pos) {
  std::string field;
  for (++pos; pos < text.size(); ++pos) {
    if (text[pos] == '"') {
      if (pos + 1 == text.size() || text[pos + 1] != '"') {
        ++pos;
        break;
      }
      ++pos;
    }
    field += text[pos];
  }
  return field;
}

std::string ReadPlainField(const std::string& text, size_t& pos) {
  size_t start = pos;
  while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != ',') ++pos;
  return text.substr(start, pos - start);
}

// A decimal number: an optional sign, then digits with an optional fraction, at least one digit.
bool ParseDecimal(std::string_view text, bool& isZero) {
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  bool anyDigit = false;
  isZero = true;
  bool pointSeen = false;
  for (; pos < text.size(); ++pos) {
    if (text[pos] == '.' && !pointSeen) {
      pointSeen = true;
    } else if (IsDigit(text[pos])) {
      anyDigit = true;
      isZero = isZero && text[pos] == '0';
    } else {
      return false;
    }
  }
  return anyDigit;
}

// The bool fields of a value in their order in the file: the stamp options, then the view.
template <class TValues>
auto BoolFields(TValues& v) {
  return std::array{&v.Stamp.Subdirs, &v.Stamp.Directories, &v.Stamp.AnyAttr, &v.Stamp.CRTime,
                    &v.Stamp.LWTime,  &v.Stamp.LATime,      &v.View[0],       &v.View[1],
                    &v.View[2],       &v.View[3],           &v.View[4]};
}

constexpr size_t LeftField = 11;
constexpr size_t TopField = 12;
constexpr size_t SyncByNameField = 14;

}  // namespace

TStringList SplitCommaText(const std::string& text) {
  TStringList fields;
  size_t pos = 0;
  SkipBlanks(text, pos);
  while (pos < text.size()) {
    fields.push_back(text[pos] == '"' ? ReadQuotedField(text, pos) : ReadPlainField(text, pos));
    SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      SkipBlanks(text, pos);
      if (pos == text.size()) fields.emplace_back();
    }
  }
  return fields;
}

bool ParseSettingsBool(const std::string& field, bool& value) {
  bool isZero = false;
  if (ParseDecimal(field, isZero))
    value = !isZero;
  else if (SameTextIgnoringCase(field, "true"))
    value = true;
  else if (SameTextIgnoringCase(field, "false"))
    value = false;
  else
    return false;
  return true;
}

bool ParseSettingsInt(const std::string& field, int& value) {
  std::string_view text = field;
  // from_chars takes a "-" but no "+"; a "+" must be followed by a digit, not by another sign.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || !IsDigit(text.front())) return false;
  }
  int parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

std::string SettingsBoolText(bool value) { return value ? "-1" : "0"; }

bool ParseSettingsValues(const std::string& values, TSettingsValues& out) {
  TStringList fields = SplitCommaText(values);
  if (fields.size() <= TopField) return false;
  TSettingsValues parsed;
  auto bools = BoolFields(parsed);
  for (size_t i = 0; i < bools.size(); ++i)
    if (!ParseSettingsBool(fields[i], *bools[i])) return false;
  if (!ParseSettingsInt(fields[LeftField], parsed.Left) ||
      !ParseSettingsInt(fields[TopField], parsed.Top))
    return false;
  // Missing or no bool, it stays off.
  if (fields.size() > SyncByNameField)
    ParseSettingsBool(fields[SyncByNameField], parsed.SyncByName);
  out = parsed;
  return true;
}

std::string FormatSettingsValues(const TSettingsValues& values) {
  std::string text;
  for (const bool* field : BoolFields(values)) text += SettingsBoolText(*field) + ",";
  return text + std::to_string(values.Left) + "," + std::to_string(values.Top) + ",," +
         SettingsBoolText(values.SyncByName);
}

std::string MergeSettingsValues(const std::string& base, const std::string& mine,
                                const std::string& inFile) {
  TSettingsValues theirs;
  if (!ParseSettingsValues(inFile, theirs)) return mine;
  const TStringList baseFields = SplitCommaText(base);
  const TStringList mineFields = SplitCommaText(mine);
  const TStringList theirFields = SplitCommaText(FormatSettingsValues(theirs));
  std::string merged;
  for (size_t i = 0; i < mineFields.size(); ++i) {
    const bool changedHere = i >= baseFields.size() || baseFields[i] != mineFields[i];
    if (i > 0) merged += ",";
    merged += changedHere ? mineFields[i] : theirFields[i];
  }
  return merged;
}

int FindParam(const TStringList& params, const std::string& text, bool caseSensitive) {
  for (size_t i = 1; i < params.size(); ++i)
    if (caseSensitive ? params[i] == text : SameTextIgnoringCase(params[i], text)) return int(i);
  return -1;
}
