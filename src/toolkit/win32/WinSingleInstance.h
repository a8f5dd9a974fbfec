#pragma once

#include <windows.h>

// A form's side of the hand-over: WM_COPYDATA carrying another start's parameters, and the
// message by which the form runs them once that start has its answer. True when the message was
// one of these, with the result to give.
bool HandleForwardedParams(HWND form, UINT message, LPARAM lParam, LRESULT& result);
