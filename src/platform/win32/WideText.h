#pragma once

#include <string>

// The program keeps every text in UTF-8; the system's wide calls take UTF-16. These convert at
// that edge. Invalid sequences become U+FFFD rather than cutting the text short.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text);
