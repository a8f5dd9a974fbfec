#pragma once

#include <string>

#include "data/Common.h"
#include "data/Tstamp.h"

// The text of the settings file's value and of the command line, apart from any file or window.

// Comma-text: fields separated by ","; outside double quotes, blanks (space and control
// characters, <= ' ') also end a field and are dropped; a field may be enclosed in double quotes
// and then hold commas and blanks, "" standing for one quote. A trailing comma gives a last, empty
// field; an empty text gives no field.
TStringList SplitCommaText(const std::string& text);

// A number (integer or decimal) other than zero is on, zero is off; "True" and "False" in any
// letter case are accepted too. False for anything else.
bool ParseSettingsBool(const std::string& field, bool& value);
// A signed decimal 32-bit integer: an optional sign and digits only, in range.
bool ParseSettingsInt(const std::string& field, int& value);
std::string SettingsBoolText(bool value);

// The settings value's fields, at their defaults. View: MenuIcons, SwapPanels, StatusBar,
// Topmost, LastPosition.
struct TSettingsValues {
  TStampOptions Stamp;
  bool View[5] = {true, false, true, false, false};
  int Left = 0, Top = 0;
  bool SyncByName = false;
};

// Fields 0..5 the stamp options in their order (Subdirs, Directories, AnyAttr, CRTime, LWTime,
// LATime), 6..10 the view, 11 left, 12 top, 13 empty, 14 Sync by Name; later fields are ignored.
// False, with out unchanged, when there are fewer than 13 fields or one of the first 13 does not
// parse. Sync by Name is off where field 14 is missing (a value of an older version) or is no
// bool (a field some other program added there).
bool ParseSettingsValues(const std::string& values, TSettingsValues& out);
// The 15 fields joined by ",", field 13 empty as older versions write it.
std::string FormatSettingsValues(const TSettingsValues& values);

// The value to save where another window may have saved since this one read the file: each field
// that this window changed since `base` (the value it read, or last saved) comes from `mine`, every
// other field from `inFile` as the file holds it now. Base and mine are FormatSettingsValues texts;
// a value in the file that does not parse gives way to mine whole.
std::string MergeSettingsValues(const std::string& base, const std::string& mine,
                                const std::string& inFile);

// params[0] is the program's own path and is never compared. The 1-based index of the first
// parameter equal to the whole text (ASCII letter case ignored unless caseSensitive), or -1.
int FindParam(const TStringList& params, const std::string& text, bool caseSensitive);
