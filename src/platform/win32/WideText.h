#pragma once

#include <string>

// The program keeps every text in UTF-8; the system's wide calls take UTF-16. These convert at
// that edge. Windows names need not be valid UTF-16 (a surrogate may stand unpaired), so the 8-bit
// form is WTF-8: an unpaired surrogate is written as its own three bytes and read back as itself,
// and every name comes back as the name it was. Bytes that are not WTF-8 become U+FFFD rather than
// cutting the text short.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text);

// For what a person reads (a window, the clipboard): an unpaired surrogate shows as U+FFFD.
std::wstring Utf8ToDisplayWide(const std::string& text);
