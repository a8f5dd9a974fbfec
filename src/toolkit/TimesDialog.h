#pragma once

#include <array>
#include <functional>
#include <string>

#include "platform/LocalTime.h"

class TForm;

// What the Times dialog shows and gives back, in the user's terms: local calendar times, and for
// each time a source (0 creation, 1 last write, 2 last access) with an offset as typed ("+1h",
// "-1d2h30m", "-0.01:00:00"). Rows are creation, last write, last access.
struct TTimesValues {
  // False: every item gets the three times below; true: each item's own times, changed.
  bool OwnTimes = false;
  std::array<TLocalTime, 3> Times{};
  std::array<int, 3> Sources{0, 1, 2};
  std::array<std::string, 3> Shifts{"+0s", "+0s", "+0s"};
};

// A modal window owned by a form: two choices, "These times" with a date-time row for each of
// the three times and a "Now" button, and "Each item's own times, changed" with a source and an
// offset for each; the zone's name below; "OK" (the default, Enter) and "Cancel" (Esc).
class TTimesDialog {
 public:
  TTimesDialog(TForm& owner, TTimesValues values, std::string zoneName);

  TForm& Owner() const { return FOwner; }
  TTimesValues& Values() { return FValues; }
  const std::string& ZoneName() const { return FZoneName; }

  // Asked on OK with the values shown: an empty answer closes the dialog; any other text is shown
  // to the user, and the dialog stays open on the value it names.
  std::function<std::string(const TTimesValues& values)> OnValidate;
  // What OK does: the validation's answer, and true when the dialog may close.
  bool Accept(std::string& refusal) const;

  // The three times become the present time, to the second.
  void SetNow();

  // Shows the window until the user answers; true for OK, and Values() holds what was chosen.
  // When a hook is set, the hook plays the user instead: that is how tests fill and answer it.
  bool ShowModal();

 private:
  bool PlatformShowModal();

  TForm& FOwner;
  TTimesValues FValues;
  std::string FZoneName;
};

using TTimesHook = std::function<bool(TTimesDialog& dialog)>;
TTimesHook& TimesDialogHook();
