#include "platform/Application.h"

TApplication& Application() {
  static TApplication application;
  return application;
}

int TApplication::MsgBox(const std::string& text, const std::string& caption, int flags) {
  if (MessageBoxHook) return MessageBoxHook(text, caption, flags);
  return PlatformMsgBox(text, caption, flags);
}
