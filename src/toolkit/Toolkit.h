#pragma once

// The control classes the window is made of, the application's run loop, the screen, the
// clipboard and dropped files. Each control holds its own state and raises its own events; the
// Windows backend mirrors the state onto native windows and feeds native events back, the
// headless backend mirrors nothing, so that tests drive the controls directly.
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"
