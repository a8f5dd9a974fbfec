#include "toolkit/TimesDialog.h"

// Nobody is there to answer: the default button (OK) is taken, and it closes the dialog only
// when the values pass.
bool TTimesDialog::PlatformShowModal() {
  std::string refusal;
  return Accept(refusal);
}
