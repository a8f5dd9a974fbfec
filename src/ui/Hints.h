#pragma once

#include <string>

#include "engine/Tstamper.h"

// What each drop target and check box does, in a few words; the help page says the same.
extern const std::string GetTargetHint;
extern const std::string SetTargetHint;
extern const std::string SyncTargetHint;
extern const std::string CRTimeHint;
extern const std::string LWTimeHint;
extern const std::string LATimeHint;
extern const std::string SubdirsHint;
extern const std::string DirectoriesHint;
extern const std::string AnyAttrHint;

// The status line while dragged items are over a place where a drop starts this kind.
std::string DropHint(TOperationKind kind);
