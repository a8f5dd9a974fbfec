#pragma once

// The control classes the window is made of, the application's run loop, the screen, the
// clipboard and dropped files. Each control holds its own state and raises its own events; the
// Windows backend mirrors the state onto native windows and feeds native events back, the
// headless backend mirrors nothing, so that tests drive the controls directly.
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
