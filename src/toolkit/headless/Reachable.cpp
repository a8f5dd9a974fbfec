#include "toolkit/Reachable.h"

void KeepOnScreen(TForm&) {}
