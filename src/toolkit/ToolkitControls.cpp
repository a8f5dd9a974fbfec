#include "toolkit/Controls.h"

void TPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevel == FBevelOuter) return;
  FBevelOuter = bevel;
  Mirror(TMirror::Look);
}

void TPanel::SetHighlighted(bool highlighted) {
  if (highlighted == FHighlighted) return;
  FHighlighted = highlighted;
  Mirror(TMirror::Look);
}

void TCheckBox::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Mirror(TMirror::Text);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  Mirror(TMirror::Look);
  if (OnClick) OnClick(this);
}

void TCheckBox::Click() {
  if (TakesInput()) SetChecked(!FChecked);
}

void TLabel::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Mirror(TMirror::Text);
}

void TLabel::SetTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  Mirror(TMirror::Look);
}

void TLabel::SetLayout(TTextLayout layout) {
  if (layout == FLayout) return;
  FLayout = layout;
  Mirror(TMirror::Look);
}

void TPaintBox::PaintTo(TCanvas& canvas) {
  // The box's canvas is the given one only while the handler runs, also if the handler throws.
  struct TRestore {
    TCanvas*& Current;
    TCanvas* Previous;
    ~TRestore() { Current = Previous; }
  } restore{FCanvas, FCanvas};
  FCanvas = &canvas;
  if (OnPaint) OnPaint(this);
}

void TPaintBox::Invalidate() { Mirror(TMirror::Look); }

void TStatusBar::SetSimpleText(const std::string& text) {
  if (text == FSimpleText) return;
  FSimpleText = text;
  Mirror(TMirror::Text);
}

void TStatusBar::DblClick() {
  if (TakesInput() && OnDblClick) OnDblClick(this);
}
