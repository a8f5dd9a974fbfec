#pragma once

#include <string>

// The program keeps every text in UTF-8; the system's wide calls take UTF-16. These convert at the
// edge, whatever the legacy code page. Invalid sequences become U+FFFD.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
