#include "support/ScriptedMessageBoxes.h"

#include <utility>

#include "platform/WinConst.h"

TScriptedMessageBoxes::TScriptedMessageBoxes(std::vector<int> answers)
    : Answers(answers.begin(), answers.end()), Previous(std::move(Application().MessageBoxHook)) {
  Application().MessageBoxHook = [this](const std::string& text, const std::string& caption,
                                        int flags) { return Show(text, caption, flags); };
}

TScriptedMessageBoxes::~TScriptedMessageBoxes() {
  Application().MessageBoxHook = std::move(Previous);
}

void TScriptedMessageBoxes::Answer(int buttonId) { Answers.push_back(buttonId); }

std::vector<std::string> TScriptedMessageBoxes::Texts() const {
  std::vector<std::string> texts;
  for (const TShownMessageBox& box : Boxes) texts.push_back(box.Text);
  return texts;
}

int TScriptedMessageBoxes::Show(const std::string& text, const std::string& caption, int flags) {
  Boxes.push_back({text, caption, flags});
  // A copy: what runs meanwhile may show boxes of its own.
  if (WhileOpen) WhileOpen(TShownMessageBox(Boxes.back()));
  if (Answers.empty()) return idOk;
  const int answer = Answers.front();
  Answers.pop_front();
  return answer;
}
