#include "toolkit/Instances.h"

namespace {

TForwardedParamsHandler& Handler() {
  static TForwardedParamsHandler handler;
  return handler;
}

}  // namespace

void SetForwardedParamsHandler(TForwardedParamsHandler handler) {
  const bool took = bool(Handler());
  Handler() = std::move(handler);
  if (took != bool(Handler())) PlatformTakeRequests(bool(Handler()));
}

void ReceiveForwardedParams(const std::vector<std::string>& params, THandOverReply reply) {
  if (Handler())
    Handler()(params, std::move(reply));
  else
    reply({hsBusy, "Refused: the window is closing."});
}

bool MayHandOver(const TTokenFacts& window, const TTokenFacts& sender) {
  return window.Known && sender.Known && !window.User.empty() && sender.User == window.User &&
         sender.Integrity >= window.Integrity;
}
