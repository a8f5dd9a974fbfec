#include "platform/win32/WideText.h"

#include <cstdint>
#include <cwchar>

namespace {

constexpr char32_t replacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& text, char32_t point) {
  if (point < 0x80) {
    text += char(point);
  } else if (point < 0x800) {
    text += char(0xC0 | (point >> 6));
    text += char(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    text += char(0xE0 | (point >> 12));
    text += char(0x80 | ((point >> 6) & 0x3F));
    text += char(0x80 | (point & 0x3F));
  } else {
    text += char(0xF0 | (point >> 18));
    text += char(0x80 | ((point >> 12) & 0x3F));
    text += char(0x80 | ((point >> 6) & 0x3F));
    text += char(0x80 | (point & 0x3F));
  }
}

// The code point of the sequence at text[at], moving at past it; a surrogate's three bytes give
// that surrogate. A byte that begins no whole, shortest sequence gives U+FFFD and moves one byte.
char32_t NextPoint(const std::string& text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  char32_t point = 0, least = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, point = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, point = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, point = lead & 0x07, least = 0x10000;
  }
  bool whole = length != 0 && at + length <= text.size();
  for (size_t k = 1; whole && k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    whole = (next & 0xC0) == 0x80;
    point = (point << 6) | (next & 0x3F);
  }
  if (!whole || point < least || point > 0x10FFFF) {
    ++at;
    return replacement;
  }
  at += length;
  return point;
}

std::string WideToUtf8(const wchar_t* text, size_t length) {
  std::string narrow;
  narrow.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    char32_t point = static_cast<uint16_t>(text[i]);
    if (IsHighSurrogate(point) && i + 1 < length &&
        IsLowSurrogate(static_cast<uint16_t>(text[i + 1]))) {
      point = 0x10000 + ((point - 0xD800) << 10) + (static_cast<uint16_t>(text[++i]) - 0xDC00);
    }
    AppendUtf8(narrow, point);
  }
  return narrow;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const char32_t point = NextPoint(text, at);
    if (point < 0x10000) {
      wide += wchar_t(point);
    } else {
      wide += wchar_t(0xD800 + ((point - 0x10000) >> 10));
      wide += wchar_t(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
  }
  return wide;
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

std::string WideToUtf8(const wchar_t* text) {
  return text ? WideToUtf8(text, std::wcslen(text)) : std::string();
}

std::wstring Utf8ToDisplayWide(const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  for (size_t i = 0; i < wide.size(); ++i) {
    const char32_t unit = static_cast<uint16_t>(wide[i]);
    if (IsHighSurrogate(unit) && i + 1 < wide.size() &&
        IsLowSurrogate(static_cast<uint16_t>(wide[i + 1]))) {
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      wide[i] = wchar_t(replacement);
    }
  }
  return wide;
}
