#include <chrono>
#include <utility>

#include "toolkit/TimesDialog.h"

namespace {

// The present moment as a file time, whole seconds only: the dialog shows no fractions, so none
// is written that the user did not see.
FILETIME PresentSecond() {
  constexpr uint64_t ticksPerSecond = 10000000;
  constexpr uint64_t unixEpochSeconds = 11644473600;
  const auto since1970 = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return MakeFileTime((uint64_t(since1970.count()) + unixEpochSeconds) * ticksPerSecond);
}

}  // namespace

TTimesDialog::TTimesDialog(TForm& owner, TTimesValues values, std::string zoneName)
    : FOwner(owner), FValues(std::move(values)), FZoneName(std::move(zoneName)) {}

bool TTimesDialog::Accept(std::string& refusal) const {
  refusal = OnValidate ? OnValidate(FValues) : std::string();
  return refusal.empty();
}

void TTimesDialog::SetNow() {
  TLocalTime now;
  if (!ToLocalTime(PresentSecond(), now)) return;
  FValues.Times.fill(now);
}

bool TTimesDialog::ShowModal() {
  if (TimesDialogHook()) return TimesDialogHook()(*this);
  return PlatformShowModal();
}

TTimesHook& TimesDialogHook() {
  static TTimesHook hook;
  return hook;
}
