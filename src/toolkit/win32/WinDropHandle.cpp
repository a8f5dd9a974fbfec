#include "toolkit/win32/WinDropHandle.h"

#include <vector>

THDropHandle::~THDropHandle() { Finish(); }

int THDropHandle::Count() const {
  return Drop ? int(DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0)) : 0;
}

int THDropHandle::NameLength(int index) const {
  if (index < 0 || index >= Count()) return 0;
  return int(DragQueryFileA(Drop, UINT(index), nullptr, 0));
}

std::string THDropHandle::ReadName(int index, int length) const {
  std::vector<char> name(size_t(length) + 1);
  const UINT copied = DragQueryFileA(Drop, UINT(index), name.data(), UINT(name.size()));
  return std::string(name.data(), copied);
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
