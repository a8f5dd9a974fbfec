#pragma once

class TForm;

enum class TTaskbarState { None, Busy, Normal, Error };

// The progress that a form's taskbar button shows: none, busy without a known end, or a bar of Done
// of Total in the normal or the error colour. Headless it is only held, for tests to read.
class TTaskbarProgress {
 public:
  explicit TTaskbarProgress(TForm& form) : Form(form) {}
  ~TTaskbarProgress();
  TTaskbarProgress(const TTaskbarProgress&) = delete;
  TTaskbarProgress& operator=(const TTaskbarProgress&) = delete;

  TTaskbarState State() const { return FState; }
  int Done() const { return FDone; }
  int Total() const { return FTotal; }
  void Show(TTaskbarState state, int done, int total);
  void Clear() { Show(TTaskbarState::None, 0, 0); }

 private:
  void Mirror();

  TForm& Form;
  TTaskbarState FState = TTaskbarState::None;
  int FDone = 0;
  int FTotal = 0;
  // The system's taskbar interface, asked for on first use (Windows only).
  void* Native = nullptr;
};
