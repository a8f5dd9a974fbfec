#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Application.h"

// One message box as the user would have seen it.
struct TShownMessageBox {
  std::string Text;
  std::string Caption;
  int Flags = 0;
};

// Plays the user at the message boxes for the length of a scope: answers each box with the next
// scripted button id (idOk once the script has run out) and records every box. The previous hook
// is put back when the scope ends.
class TScriptedMessageBoxes {
 public:
  explicit TScriptedMessageBoxes(std::vector<int> answers = {});
  ~TScriptedMessageBoxes();
  TScriptedMessageBoxes(const TScriptedMessageBoxes&) = delete;
  TScriptedMessageBoxes& operator=(const TScriptedMessageBoxes&) = delete;

  // Appends an answer to the script.
  void Answer(int buttonId);
  // Runs while each box is open, before it is answered: what happens meanwhile (a logoff).
  std::function<void(const TShownMessageBox& box)> WhileOpen;

  const std::vector<TShownMessageBox>& Shown() const { return Boxes; }
  size_t Count() const { return Boxes.size(); }
  // The texts of the boxes shown, in order.
  std::vector<std::string> Texts() const;

 private:
  int Show(const std::string& text, const std::string& caption, int flags);

  std::deque<int> Answers;
  std::vector<TShownMessageBox> Boxes;
  TMessageBoxHook Previous;
};
