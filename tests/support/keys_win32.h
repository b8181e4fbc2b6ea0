// Real key presses for the Win32 window tests: SendInput, so the keys take
// the path a person's do (the foreground window, the message loop, the
// accelerators, the dialog manager).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// One key down or up, by virtual-key code.
void sendKey(WORD virtualKey, bool up);
// Down and up, with `held` (Ctrl, Shift, ...) held around it.
void pressKey(WORD virtualKey, std::initializer_list<WORD> held = {});
// Each letter as its key (A-Z, 0-9), whatever its case.
void typeKeys(const std::string& letters);
// Each character as typed text, as an input method sends it.
void typeText(const std::wstring& text);
