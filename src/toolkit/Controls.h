#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Object.h"
#include "toolkit/Graphics.h"

class TForm;

// What a backend's native mirror of a control has to bring up to date.
enum class TMirror {
  Bounds,  // position or size
  Visible,
  Enabled,
  Text,  // caption or status text
  Look,  // check mark, bevel, label layout: anything else that is drawn
  Font,
  Focus,    // the form's active control
  Topmost,  // forms from here on
  AcceptFiles,
  Menu,
  Icon,
  Foreground,  // a request: bring the window to the foreground
  Hint,
  Order,       // the control's place among its siblings, and so in the tab order
};

// The native side of a control, made by the backend; the headless backend makes none.
class TControlPeer {
 public:
  virtual ~TControlPeer() = default;
  virtual void Mirror(TMirror what) = 0;
};

enum class TAlign { alNone, alTop };

// Modifier keys and mouse buttons held while a key is pressed.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;

// A key pressed with its modifiers; setting the key to 0 consumes it.
using TKeyEvent = std::function<void(TObject* sender, int& key, TShiftState shift)>;

// The base of every control. A control borrows its parent and its children: whoever creates a
// control owns it (usually the form, as a member), and SetParent links it into the tree. The
// children's order is the order they were linked in, which is also the tab order.
//
// Coordinates are device pixels. A form's Left and Top are its window's position on the screen;
// every other control's are relative to its parent's client area. A form's Width and Height are
// the size of its client area (the frame is the platform's business).
class TControl : public TObject {
 public:
  TControl() = default;
  ~TControl() override;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  std::string Name;

  TControl* Parent() const { return FParent; }
  // Moves the control to the end of the new parent's children; none unlinks it.
  void SetParent(TControl* parent);
  const std::vector<TControl*>& Controls() const { return Children; }
  // Panels and forms hold other controls.
  virtual bool IsContainer() const { return false; }
  // The form the control stands on, or none.
  TForm* Form();

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int left) { SetBounds(left, FTop, FWidth, FHeight); }
  void SetTop(int top) { SetBounds(FLeft, top, FWidth, FHeight); }
  void SetWidth(int width) { SetBounds(FLeft, FTop, width, FHeight); }
  void SetHeight(int height) { SetBounds(FLeft, FTop, FWidth, height); }
  void SetBounds(int left, int top, int width, int height);

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  // The control's own enabled state; a disabled parent leaves it as it is.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  // Whether the user can reach the control: it and every control above it, up to the form, are
  // enabled and visible (the form itself counts only with its enabled state).
  bool TakesInput() const;
  // Whether the control can hold the keyboard focus now.
  virtual bool Focusable() const { return TakesInput(); }
  // A key pressed while the control has the focus, after the form's key preview and shortcuts;
  // true when the control took it.
  virtual bool KeyDown(int, TShiftState) { return false; }
  // Moves the control to this place among its parent's children, which is its tab order.
  void SetTabOrder(size_t index);

  // Aligned to the top: stacked below the parent's other top-aligned visible children, in the
  // order of their Top, as wide as the parent.
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  // A container that sizes itself to the extent of its visible children.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);

  // The control's own font, or its parent's when it has none of its own.
  TFont Font() const;
  void SetFont(const TFont& font);

  TPoint ClientToScreen(TPoint point) const;
  TPoint ScreenToClient(TPoint point) const;

  // A few words shown while the mouse rests on the control, also when it is disabled.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint);

  // Scales the sizes and positions of the control and its children, and their own fonts, by
  // numerator / denominator, each value rounded to the nearest. A form keeps its position.
  void ScaleBy(int numerator, int denominator);

  // For the backend: the native mirror, made when the control joins a tree that has one.
  TControlPeer* Peer() const { return FPeer.get(); }

 protected:
  explicit TControl(bool visible) : FVisible(visible) {}
  // Each backend defines this for every control class: the headless one gives none.
  virtual std::unique_ptr<TControlPeer> MakePeer() = 0;
  void Mirror(TMirror what);
  void DropPeers();
  virtual TPoint ClientOrigin() const;
  // Takes a position the native window already has, without mirroring it back.
  void StorePosition(int left, int top);

  std::unique_ptr<TControlPeer> FPeer;

 private:
  // Makes this control's peer and its children's, when its parent has one.
  void MakePeers();
  void Realign();
  void AlignChildren();
  void SizeToChildren();
  void ChildChanged();
  void MirrorFont();

  TControl* FParent = nullptr;
  std::vector<TControl*> Children;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TAlign FAlign = TAlign::alNone;
  bool FAutoSize = false;
  bool Realigning = false;
  std::optional<TFont> OwnFont;
  std::string FHint;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A plain container with an outer bevel. With a tab stop it takes the focus itself (by Tab or a
// click, shown by a focus rectangle), also while disabled itself, takes the keys pressed then,
// and is announced to assistive technology as a button with its accessible name.
class TPanel : public TControl {
 public:
  bool IsContainer() const override { return true; }
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);
  // Drawn in the selection colour: the place that takes what is being dragged.
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool highlighted);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool tabStop);
  const std::string& AccessibleName() const { return FAccessibleName; }
  void SetAccessibleName(const std::string& name);
  bool Focusable() const override;
  bool KeyDown(int key, TShiftState shift) override;
  TKeyEvent OnKeyDown;

 protected:
  std::unique_ptr<TControlPeer> MakePeer() override;

 private:
  TBevelCut FBevelOuter = TBevelCut::bvRaised;
  bool FHighlighted = false;
  bool FTabStop = false;
  std::string FAccessibleName;
};

// A check box. "&" in the caption marks the access key.
class TCheckBox : public TControl {
 public:
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return FChecked; }
  // A real change of the state raises OnClick, as a click of the user does.
  void SetChecked(bool checked);
  // The user clicks the box: it toggles, when it takes input.
  void Click();
  TNotifyEvent OnClick;

 protected:
  std::unique_ptr<TControlPeer> MakePeer() override;

 private:
  std::string FCaption;
  bool FChecked = false;
};

enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A one-line text. A transparent label shows its parent's face behind the text; a disabled label
// draws its text greyed.
class TLabel : public TControl {
 public:
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout layout);

 protected:
  std::unique_ptr<TControlPeer> MakePeer() override;

 private:
  std::string FCaption;
  bool FTransparent = false;
  TTextLayout FLayout = TTextLayout::tlTop;
};

// A surface that its OnPaint handler draws on, through Canvas(), while it paints.
class TPaintBox : public TControl {
 public:
  TNotifyEvent OnPaint;
  // The canvas of the paint in progress; outside a paint, one that draws nothing.
  TCanvas& Canvas() { return *FCanvas; }
  // Runs OnPaint with the given canvas as the box's canvas. The backend paints this way; tests
  // pass a TRecordingCanvas.
  void PaintTo(TCanvas& canvas);
  // Asks for a repaint; the headless backend has nothing to repaint.
  void Invalidate();

 protected:
  std::unique_ptr<TControlPeer> MakePeer() override;

 private:
  TCanvas Offscreen;
  TCanvas* FCanvas = &Offscreen;
};

// A status bar with one text area and no size grip. A text too long for the bar shows whole in a
// tooltip.
class TStatusBar : public TControl {
 public:
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& text);
  // The user double-clicks the bar: raises OnDblClick, when it takes input.
  void DblClick();
  TNotifyEvent OnDblClick;

 protected:
  std::unique_ptr<TControlPeer> MakePeer() override;

 private:
  std::string FSimpleText;
};
