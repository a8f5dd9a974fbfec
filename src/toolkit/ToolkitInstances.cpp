#include "toolkit/Instances.h"

namespace {

TForwardedParamsHandler& Handler() {
  static TForwardedParamsHandler handler;
  return handler;
}

}  // namespace

void SetForwardedParamsHandler(TForwardedParamsHandler handler) { Handler() = std::move(handler); }

void ReceiveForwardedParams(const std::vector<std::string>& params) {
  if (Handler()) Handler()(params);
}
