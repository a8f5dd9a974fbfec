#pragma once

#include <array>
#include <optional>
#include <string>

#include "data/Common.h"
#include "data/TimeRule.h"
#include "data/Tstamp.h"
#include "toolkit/TimesDialog.h"

// The times a choice writes: those the command line named, or all three from the dialog.
using TTimeMask = std::array<bool, 3>;

// A choice, or why the values make none: a message that names the value and the forms accepted.
struct TChoiceResult {
  std::optional<TTimeChoice> Choice;
  TTimeMask Written{true, true, true};
  std::string Refusal;
};

// The dialog's values as a choice; local times in the zone's offset of their own dates.
TChoiceResult ChoiceOfValues(const TTimesValues& values);

// The command line's switches of chosen times, "/time=", "/crtime=", "/lwtime=", "/latime=",
// "/shift=", "/crshift=", "/lwshift=", "/lashift=", "/crfrom=", "/lwfrom=", "/lafrom=" (any
// letter case), as a choice that writes only the times they name. No choice and no refusal when
// there are none; mixing typed times with a rule is refused.
TChoiceResult ChoiceOfSwitches(const TStringList& switches);
bool IsTimeSwitch(const std::string& param);

// The values the dialog opens with: the held average where there are items or typed times, else
// the times last chosen, else now; the mode and the offsets as last chosen.
TTimesValues DialogValues(const TStampHolder& holder, TTimesValues remembered, bool timesKnown);

// What the Get target's tooltip and the status line say of chosen times held.
std::string ChoiceSummary(const TTimeChoice& choice);

// The remembered values as the settings file keeps them, and back; false leaves values alone.
struct TTimesSettings {
  std::string Mode, Times, Sources, Shifts;
};
TTimesSettings FormatTimesSettings(const TTimesValues& values);
bool ParseTimesSettings(const TTimesSettings& text, TTimesValues& values);
