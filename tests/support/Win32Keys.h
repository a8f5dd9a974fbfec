#pragma once

// Windows tests only: keys pressed as the keyboard sends them, to whichever window has the focus.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Presses each key with its modifier (0 for none).
inline void Press(const std::vector<std::pair<BYTE, BYTE>>& keys) {
  for (const auto& [modifier, key] : keys) {
    if (modifier) keybd_event(modifier, 0, 0, 0);
    keybd_event(key, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    if (modifier) keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
  }
}

// Presses the keys of the text as the keyboard layout types them, shift included.
inline void Type(const std::wstring& text) {
  for (const wchar_t character : text) {
    const SHORT key = VkKeyScanW(character);
    Press({{BYTE(key & 0x100 ? VK_SHIFT : 0), BYTE(key)}});
  }
}
