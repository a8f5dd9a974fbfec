#include "ui/CommandRequest.h"

#include "platform/AsciiText.h"
#include "toolkit/Instances.h"
#include "ui/Constants.h"

const std::string GetSwitch = "/get";
const std::string SetSwitch = "/set";
const std::string SyncSwitch = "/sync";

namespace {

const std::string PropertiesSwitch = "/properties";

std::optional<TOperationKind> KindOfSwitch(const std::string& param) {
  const std::pair<const std::string*, TOperationKind> switches[] = {
      {&GetSwitch, okGet},
      {&SetSwitch, okSet},
      {&SyncSwitch, okSync},
      {&PropertiesSwitch, okProperties}};
  for (const auto& [name, kind] : switches)
    if (SameTextIgnoringCase(param, *name)) return kind;
  return std::nullopt;
}

bool IsSwitch(const std::string& param) {
  return KindOfSwitch(param) || SameTextIgnoringCase(param, DefaultPosSwitch);
}

}  // namespace

TCommandRequest ParseCommandRequest(const TStringList& params) {
  TCommandRequest request;
  for (const std::string& param : params) {
    if (!request.Kind) {
      request.Kind = KindOfSwitch(param);
      continue;
    }
    if (!SameTextIgnoringCase(param, DefaultPosSwitch)) request.Paths.push_back(param);
  }
  return request;
}

bool HasWork(const TCommandRequest& request) { return request.Kind && !request.Paths.empty(); }

bool NamesNothing(const std::string& name) {
  return name.find_first_not_of(" \t\r\n") == std::string::npos;
}

TStringList WithFullPaths(const TStringList& params) {
  TStringList full;
  for (const std::string& param : params)
    full.push_back(IsSwitch(param) || NamesNothing(param) ? param : FullPathOf(param));
  return full;
}
