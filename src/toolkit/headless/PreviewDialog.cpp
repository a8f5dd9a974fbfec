#include "toolkit/PreviewDialog.h"

// Nobody is there to answer: the default button (Write) is taken, as a message box takes OK.
bool TPreviewDialog::PlatformShowModal() { return true; }
