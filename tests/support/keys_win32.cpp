#include "support/keys_win32.h"

#include <cctype>

void sendKey(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void pressKey(WORD virtualKey, std::initializer_list<WORD> held) {
  for (WORD k : held) sendKey(k, false);
  sendKey(virtualKey, false);
  sendKey(virtualKey, true);
  for (WORD k : held) sendKey(k, true);
}

void typeKeys(const std::string& letters) {
  for (char c : letters) pressKey(static_cast<WORD>(std::toupper(static_cast<unsigned char>(c))));
}

void typeText(const std::wstring& text) {
  for (const wchar_t c : text) {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wScan = keys[1].ki.wScan = c;
    keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
    keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
  }
}
