// Calls made from a thread other than the GUI thread (the receive worker),
// carried out on the GUI thread in the order they were made. Windows may
// be touched only by the thread that made them, so such calls wait on one
// queue under a lock of our own, and the caller goes on at once; the first
// call into an empty queue posts a message to the queue's window, and the
// GUI thread carries out the whole queue when that message comes, in
// EZ_DOEVENTS, and before any GUI-thread call of the same kinds (so a text
// the GUI thread writes is never overtaken by an older queued one).
//
// The queue's window is a message-only window of the GUI thread: unlike a
// message to the thread itself, its message is dispatched by every modal
// loop too (a message box, the save dialog), so the worker's texts keep
// appearing while one is up.
//
// Appends to a view and status texts are joined as they are queued, as by
// the layer over Qt: a flood of records while the GUI thread is busy
// stays a few entries, and the joined calls show exactly what the calls
// one by one would have shown.
#include <deque>
#include <mutex>

#include "app/ezgui/ezgui_queue.h"
#include "app/ezgui/ezgui_queue_join.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr wchar_t kQueueClass[] = L"MorvaneCallQueue";
constexpr UINT kCarryOutMessage = WM_APP + 1;

using Entry = EzQueueEntry;

struct EzwCallQueue {
  std::mutex lock;
  std::deque<Entry> entries;  // guarded by `lock`
  HWND window = nullptr;      // guarded by `lock`
  bool posted = false;        // a carry-out message is on its way; guarded by `lock`
};

EzwCallQueue Queued;

void carryOutRich(const Entry& e) {
  const EzQueuedCall& c = e.call;
  if (e.append) {
    // What the run of (selection at the end, insert there) pairs amounts to.
    ezwDoRichSelection(c.form, c.id, -1, -1);
    ezwDoRichText(c.form, c.id, c.text, 0, 1);
    if (e.scroll) ezwDoScrollTo(c.form, c.id, 1, e.scrollValue);
  } else if (c.kind == EzQueuedKind::RichSelection) {
    ezwDoRichSelection(c.form, c.id, c.a, c.b);
  } else if (c.kind == EzQueuedKind::RichText) {
    ezwDoRichText(c.form, c.id, c.text, c.a, c.b);
  } else if (c.kind == EzQueuedKind::ScrollTo) {
    ezwDoScrollTo(c.form, c.id, c.a, c.b);
  }
}

void carryOut(const Entry& e) {
  if (e.call.kind == EzQueuedKind::StatusText) {
    ezDoStatusText(e.call.form, e.call.id, e.call.a, e.call.text);
  } else {
    carryOutRich(e);
  }
}

LRESULT CALLBACK queueProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCarryOutMessage) {
    ezDrainQueued();
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
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.window = window;
  // Calls queued before the window existed still get carried out.
  Queued.posted =
      !Queued.entries.empty() && window && PostMessageW(window, kCarryOutMessage, 0, 0) != 0;
}

void ezwCloseQueue() {
  HWND window = nullptr;
  {
    std::lock_guard<std::mutex> hold(Queued.lock);
    window = Queued.window;
    Queued.window = nullptr;
    Queued.posted = false;
    Queued.entries.clear();
  }
  if (window) DestroyWindow(window);
}

void ezQueueCall(EzQueuedCall call) {
  std::string key = ezwKey(call.form);
  std::lock_guard<std::mutex> hold(Queued.lock);
  if (!ezJoinQueued(Queued.entries, call, key)) {
    Queued.entries.push_back(Entry{std::move(call), std::move(key)});
  }
  if (!Queued.posted && Queued.window) {
    Queued.posted = PostMessageW(Queued.window, kCarryOutMessage, 0, 0) != 0;
  }
}

void ezForgetQueued() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  Queued.entries.clear();
}

int ezwQueuedCount() {
  std::lock_guard<std::mutex> hold(Queued.lock);
  return static_cast<int>(Queued.entries.size());
}

int ezDrainQueued() {
  if (!ezwOnGuiThread()) return 0;
  std::deque<Entry> entries;
  {
    std::lock_guard<std::mutex> hold(Queued.lock);
    entries.swap(Queued.entries);
    // A message still on its way finds the queue empty, which does no harm;
    // what comes after this point posts afresh.
    Queued.posted = false;
  }
  for (const Entry& e : entries) carryOut(e);
  return static_cast<int>(entries.size());
}

void EZ_DOEVENTS(int n) {
  (void)n;
  // On another thread there is nothing to do: its calls are already queued
  // and the GUI thread handles its own window messages.
  if (!ezwOnGuiThread()) return;
  ezDrainQueued();
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
