#pragma once

#include <optional>
#include <string>

#include "data/Common.h"
#include "engine/Tstamper.h"

// What a start of the program asks for on its command line: "/get", "/set", "/sync" or
// "/properties" (any letter case) followed by paths, which run as a drop of those paths on that
// target would, or, for "/properties", beside the targets. The first such switch counts; every
// parameter after it is a path, except "/dp", which may stand anywhere and keeps its own meaning.
// So may "/preview": the run lists what it will write and waits for Write first (handed over from
// another start, it prints the list there and writes nothing), and "/ignoreext": a Sync pairs by
// name, ignoring extensions.
struct TCommandRequest {
  std::optional<TOperationKind> Kind;
  TStringList Paths;
  bool Preview = false;
  bool IgnoreExtensions = false;
  // Switches of chosen times ("/time=...", "/shift=...", ...), which may stand anywhere too.
  TStringList TimeSwitches;
  bool operator==(const TCommandRequest&) const = default;
};

// The parameters without the program's own path.
TCommandRequest ParseCommandRequest(const TStringList& params);
// A request with work in it: a switch and at least one path. Without work the program starts as
// a window of its own, as it always did.
bool HasWork(const TCommandRequest& request);
// An empty name, or one of blanks only, names no item: made full, or parsed by the shell, it
// would stand for the folder of the start or the Desktop.
bool NamesNothing(const std::string& name);
// The parameters with every path made full against the folder the program started in.
TStringList WithFullPaths(const TStringList& params);

// The switches Send To shortcuts start the program with.
extern const std::string GetSwitch;
extern const std::string SetSwitch;
extern const std::string SyncSwitch;
extern const std::string PreviewSwitch;
extern const std::string IgnoreExtensionsSwitch;
