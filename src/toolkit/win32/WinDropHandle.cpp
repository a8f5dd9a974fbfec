#include "toolkit/win32/WinDropHandle.h"

#include "platform/win32/WideText.h"

THDropHandle::~THDropHandle() { Finish(); }

int THDropHandle::Count() const {
  return Drop ? int(DragQueryFileW(Drop, 0xFFFFFFFF, nullptr, 0)) : 0;
}

// Read in UTF-16 into a buffer of the name's own length, so that no name is cut or loses a
// character to a code page.
std::string THDropHandle::Name(int index) const {
  if (index < 0 || index >= Count()) return "";
  const UINT length = DragQueryFileW(Drop, UINT(index), nullptr, 0);
  std::wstring name(size_t(length) + 1, L'\0');
  name.resize(DragQueryFileW(Drop, UINT(index), name.data(), UINT(name.size())));
  return WideToUtf8(name);
}

TPoint THDropHandle::Point() const {
  POINT point{0, 0};
  if (Drop) DragQueryPoint(Drop, &point);
  return {point.x, point.y};
}

void THDropHandle::Finish() {
  if (!Drop) return;
  DragFinish(Drop);
  Drop = nullptr;
}
