// The answer to WM_GETOBJECT for a control's window: an IAccessible (Microsoft Active
// Accessibility, which UI Automation reads too) that gives the control's name, role and state
// as Accessibility.h describes them, and leaves the rest (location, navigation, focus, hit
// testing) to the system's standard object of the window.
#pragma once

#include <windows.h>

#include "toolkit/Accessibility.h"

// What a window's control is now; false once the control is gone. Asked at every call, so that
// an object a screen reader keeps never outlives the control it describes.
using TDescribeWindow = bool (*)(HWND wnd, TAccessibleInfo& info);

// For the client object (OBJID_CLIENT): sets result to what WM_GETOBJECT returns and gives
// true. False for every other object, which the default handling answers.
bool AnswerGetObject(HWND wnd, WPARAM wp, LPARAM lp, TDescribeWindow describe, LRESULT& result);
