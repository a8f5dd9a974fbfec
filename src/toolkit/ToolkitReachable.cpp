#include <algorithm>

#include "toolkit/Reachable.h"

bool Meets(const TRect& a, const TRect& b) {
  return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) &&
         std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

TPoint MovedInside(const TRect& rect, const TRect& area) {
  const auto inside = [](int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
  };
  return {inside(rect.Left, rect.Right - rect.Left, area.Left, area.Right),
          inside(rect.Top, rect.Bottom - rect.Top, area.Top, area.Bottom)};
}
