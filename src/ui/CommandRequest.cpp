#include "ui/CommandRequest.h"

#include "platform/AsciiText.h"
#include "toolkit/Instances.h"
#include "ui/Constants.h"
#include "ui/TimesChoice.h"

const std::string GetSwitch = "/get";
const std::string SetSwitch = "/set";
const std::string SyncSwitch = "/sync";
const std::string PreviewSwitch = "/preview";
const std::string IgnoreExtensionsSwitch = "/ignoreext";

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

// The switches that may stand anywhere, each with the request's field it sets ("/dp" sets none).
std::optional<bool TCommandRequest::*> AnywhereSwitch(const std::string& param) {
  const std::pair<const std::string*, bool TCommandRequest::*> switches[] = {
      {&DefaultPosSwitch, nullptr},
      {&PreviewSwitch, &TCommandRequest::Preview},
      {&IgnoreExtensionsSwitch, &TCommandRequest::IgnoreExtensions}};
  for (const auto& [name, field] : switches)
    if (SameTextIgnoringCase(param, *name)) return field;
  return std::nullopt;
}

bool IsSwitch(const std::string& param) {
  return KindOfSwitch(param) || AnywhereSwitch(param) || IsTimeSwitch(param);
}

}  // namespace

TCommandRequest ParseCommandRequest(const TStringList& params) {
  TCommandRequest request;
  for (const std::string& param : params) {
    if (const auto field = AnywhereSwitch(param)) {
      if (*field) request.*(*field) = true;
    } else if (IsTimeSwitch(param)) {
      request.TimeSwitches.push_back(param);
    } else if (!request.Kind) {
      request.Kind = KindOfSwitch(param);
    } else {
      request.Paths.push_back(param);
    }
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
