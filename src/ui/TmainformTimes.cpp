#include "platform/IniFile.h"
#include "platform/LocalTime.h"
#include "ui/CommandRequest.h"
#include "ui/TimesChoice.h"
#include "ui/Tmainform.h"

namespace {

const std::string SettingsSection = "Settings";
// Keys of their own, so that versions that do not know them read "Values" as before.
const std::string TimesModeKey = "TimesMode";
const std::string TimesKey = "Times";
const std::string TimeSourcesKey = "TimeSources";
const std::string TimeShiftsKey = "TimeShifts";

}  // namespace

void TMainForm::ChooseTimes() {
  if (CheckBusy(true)) return;
  TTimesDialog dialog(*this, DialogValues(*FHolder, FTimesValues, FTimesKnown),
                      ZoneName(NowFileTime()));
  dialog.OnValidate = [](const TTimesValues& values) { return ChoiceOfValues(values).Refusal; };
  if (!dialog.ShowModal()) return;
  const TChoiceResult result = ChoiceOfValues(dialog.Values());
  if (!result.Choice) return;
  FTimesValues = dialog.Values();
  FTimesKnown = FTimesChanged = true;
  FHolder->Store(*result.Choice);
  MarkPanel(nullptr);
  SetStatus(FStatusNumber, "Times - " + ChoiceSummary(*result.Choice));
}

bool TMainForm::HoldRequestedTimes(const TCommandRequest& request) {
  const TChoiceResult result = ChoiceOfSwitches(request.TimeSwitches);
  if (!result.Refusal.empty()) {
    Warn("No operation.\r\n\r\n" + result.Refusal);
    return false;
  }
  if (request.Kind != okSet) {
    Warn("No operation.\r\n\r\nChosen times are written by /set alone.");
    return false;
  }
  FHolder->Store(*result.Choice);
  MarkPanel(nullptr);
  FRequested.Times = result.Written;
  return true;
}

void TMainForm::LoadTimesSettings(const TIniFile& ini) {
  if (ini.ReadFailed()) return;
  const TTimesSettings text{ini.ReadString(SettingsSection, TimesModeKey, ""),
                            ini.ReadString(SettingsSection, TimesKey, ""),
                            ini.ReadString(SettingsSection, TimeSourcesKey, ""),
                            ini.ReadString(SettingsSection, TimeShiftsKey, "")};
  FTimesKnown = ParseTimesSettings(text, FTimesValues);
}

// Only times this window chose are written: what another window saved stays otherwise.
void TMainForm::SaveTimesSettings(TIniFile& ini) {
  if (!FTimesChanged) return;
  const TTimesSettings text = FormatTimesSettings(FTimesValues);
  ini.WriteString(SettingsSection, TimesModeKey, text.Mode);
  ini.WriteString(SettingsSection, TimesKey, text.Times);
  ini.WriteString(SettingsSection, TimeSourcesKey, text.Sources);
  ini.WriteString(SettingsSection, TimeShiftsKey, text.Shifts);
}
