#pragma once

#include "toolkit/Graphics.h"

class TForm;

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Whether the two rectangles share at least one pixel.
bool Meets(const TRect& a, const TRect& b);
// The top-left corner that puts the rectangle inside the area, its size kept, moved as little as
// can be; the area's top-left corner for a rectangle larger than the area.
TPoint MovedInside(const TRect& rect, const TRect& area);

// A form whose title bar meets no monitor's work area cannot be moved back by the user: it is
// moved onto the work area of the monitor nearest to it, its size kept. Headless there are no
// monitors, and nothing moves.
void KeepOnScreen(TForm& form);
