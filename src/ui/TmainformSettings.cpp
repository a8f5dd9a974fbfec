#include "platform/IniFile.h"
#include "toolkit/Reachable.h"
#include "ui/Constants.h"
#include "ui/SettingsText.h"
#include "ui/Tmainform.h"

namespace {

const std::string SettingsSection = "Settings";
const std::string ValuesKey = "Values";
// A key of its own, which versions that do not know it leave alone.
const std::string KeepHistoryKey = "KeepHistory";

// The view options in the order the settings file keeps them.
constexpr bool TViewOptions::*ViewFields[] = {&TViewOptions::MenuIcons, &TViewOptions::SwapPanels,
                                              &TViewOptions::StatusBar, &TViewOptions::Topmost,
                                              &TViewOptions::LastPosition};

TViewOptions ViewOptionsOf(const TSettingsValues& values) {
  TViewOptions options;
  for (size_t index = 0; index < std::size(ViewFields); ++index)
    options.*ViewFields[index] = values.View[index];
  return options;
}

}  // namespace

TSettingsValues TMainForm::CurrentSettingsValues() const {
  TSettingsValues values;
  values.Stamp = FStampOptions;
  for (size_t index = 0; index < std::size(ViewFields); ++index)
    values.View[index] = FViewOptions.*ViewFields[index];
  values.SyncByName = FSyncByName;
  values.Left = Left();
  values.Top = Top();
  return values;
}

void TMainForm::LoadSettings() {
  const TIniFile ini(SettingsPath());
  // A file that is there but cannot be read is never written over with the defaults.
  FSettingsUnreadable = ini.ReadFailed();
  FKeepHistoryBase = ini.ReadString(SettingsSection, KeepHistoryKey, "0") == "1";
  SetKeepHistory(FKeepHistoryBase);
  TSettingsValues values;
  if (ini.ReadFailed() ||
      !ParseSettingsValues(ini.ReadString(SettingsSection, ValuesKey, ""), values)) {
    ApplyDefaults();
    FSettingsBase = FormatSettingsValues(CurrentSettingsValues());
    LoadKeyedOptions(ini);
    LoadTimesSettings(ini);
    return;
  }
  FSettingsBase = FormatSettingsValues(values);
  SetStampOptions(values.Stamp);
  SetViewOptions(ViewOptionsOf(values));
  SetSyncByName(values.SyncByName);
  LoadKeyedOptions(ini);
  LoadTimesSettings(ini);
  if (FViewOptions.LastPosition && FindParam(DefaultPosSwitch, false) == -1) {
    SetLeft(values.Left);
    SetTop(values.Top);
    KeepOnScreen(*this);
  }
}

void TMainForm::SaveSettings() {
  // Runs from the destructor too, where nothing may escape; a failed save simply stores nothing.
  try {
    if (FSettingsUnreadable) return;
    // Read again under the lock: another window may have saved its own changes since.
    TIniFileLock lock(SettingsPath());
    TIniFile ini(SettingsPath());
    const std::string mine = FormatSettingsValues(CurrentSettingsValues());
    ini.WriteString(
        SettingsSection, ValuesKey,
        MergeSettingsValues(FSettingsBase, mine, ini.ReadString(SettingsSection, ValuesKey, "")));
    // Only a change this window made is written; otherwise what another window saved stays.
    if (FKeepHistory != FKeepHistoryBase)
      ini.WriteString(SettingsSection, KeepHistoryKey, FKeepHistory ? "1" : "0");
    TKeyedValues keyed = SaveKeyedOptions(ini);
    SaveTimesSettings(ini);
    if (!ini.UpdateFile()) return;
    FTimesChanged = false;
    FSettingsBase = mine;
    FKeepHistoryBase = FKeepHistory;
    FKeyedBase = std::move(keyed);
  } catch (...) {
  }
}

void TMainForm::ApplyDefaults() {
  SetStampOptions(TStampOptions());
  SetViewOptions(TViewOptions());
  SetSyncByName(false);
  for (const TKeyedOption& option : KeyedOptions()) option.Set(false);
}

std::vector<TMainForm::TKeyedOption> TMainForm::KeyedOptions() {
  return {{"IgnoreExtensions", FIgnoreExtensions, [this](bool on) { SetIgnoreExtensions(on); }},
          {"PreviewWrites", FPreviewWrites, [this](bool on) { SetPreviewWrites(on); }}};
}

// A key that is missing or holds no bool leaves its option off.
void TMainForm::LoadKeyedOptions(const TIniFile& ini) {
  for (const TKeyedOption& option : KeyedOptions()) {
    bool value = false;
    if (!ini.ReadFailed())
      ParseSettingsBool(ini.ReadString(SettingsSection, option.Key, ""), value);
    option.Set(value);
    FKeyedBase[option.Key] = SettingsBoolText(value);
  }
}

// As with the fields of "Values": what this window changed is saved, any other key keeps what
// another window may have saved meanwhile.
TMainForm::TKeyedValues TMainForm::SaveKeyedOptions(TIniFile& ini) {
  TKeyedValues values;
  for (const TKeyedOption& option : KeyedOptions()) {
    const std::string mine = SettingsBoolText(option.Value);
    values[option.Key] = mine;
    bool theirs = false;
    const bool inFile = ParseSettingsBool(ini.ReadString(SettingsSection, option.Key, ""), theirs);
    // Off is what a missing key reads as: a file that never had the option stays as it was.
    if ((inFile && FKeyedBase[option.Key] == mine) || (!inFile && !option.Value)) continue;
    ini.WriteString(SettingsSection, option.Key, mine);
  }
  return values;
}

int TMainForm::FindParam(const std::string& text, bool caseSensitive) const {
  TStringList params;
  for (int index = 0; index <= Application().ParamCount(); ++index)
    params.push_back(Application().ParamStr(index));
  return ::FindParam(params, text, caseSensitive);
}
