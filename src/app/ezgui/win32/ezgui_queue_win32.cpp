// Calls from another thread over Win32: the queue (../ezgui_queue.h) wakes
// the GUI thread by posting a message to the queue's window, and the GUI
// thread carries out the whole queue when that message comes.
//
// The queue's window is a message-only window of the GUI thread: unlike a
// message to the thread itself, its message is dispatched by every modal
// loop too (a message box, the save dialog), so the worker's texts keep
// appearing while one is up.
#include <mutex>

#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr wchar_t kQueueClass[] = L"MorvaneCallQueue";
constexpr UINT kCarryOutMessage = WM_APP + 1;

struct EzwQueueWindow {
  std::mutex lock;
  HWND window = nullptr;  // guarded by `lock`
};

EzwQueueWindow Waker;

bool postCarryOut() {
  std::lock_guard<std::mutex> hold(Waker.lock);
  return Waker.window && PostMessageW(Waker.window, kCarryOutMessage, 0, 0) != 0;
}

LRESULT CALLBACK queueProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCarryOutMessage) {
    ezDrainQueued();
    // What came while the queue was carried out has no message of its own
    // yet: one more, after the messages already waiting.
    if (!ezQueueSettledIfEmpty()) postCarryOut();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerQueueClass() {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kQueueClass, &info)) return;
  info.cbSize = sizeof info;
  info.lpfnWndProc = queueProcedure;
  info.hInstance = GetModuleHandleW(nullptr);
  info.lpszClassName = kQueueClass;
  RegisterClassExW(&info);
}

}  // namespace

void ezwOpenQueue() {
  registerQueueClass();
  const HWND window = CreateWindowExW(0, kQueueClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  {
    std::lock_guard<std::mutex> hold(Waker.lock);
    Waker.window = window;
  }
  // Calls queued before the window existed still get carried out.
  if (ezQueuedCount() > 0) postCarryOut();
}

void ezwCloseQueue() {
  HWND window = nullptr;
  {
    std::lock_guard<std::mutex> hold(Waker.lock);
    window = Waker.window;
    Waker.window = nullptr;
  }
  ezForgetQueued();
  if (window) DestroyWindow(window);
}

bool ezBackendWakeForQueue() {
  return postCarryOut();
}

void ezBackendHandleMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    // The end of the program belongs to the loop of EZ_GUIRUN: put it back.
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (ezwTranslateAccelerator(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
