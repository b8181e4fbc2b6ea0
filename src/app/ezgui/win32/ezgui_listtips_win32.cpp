// Tooltips of the items of a combo box's dropped-down list. The list is a
// pop-up window of its own; it is one tool of the form's tooltip control,
// and the item under the mouse says which text is asked for (event 8 with
// the item's number plus one). Moving onto another item takes the tip
// down, so that resting there shows that item's.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 0x7E1D;
constexpr wchar_t kItemProperty[] = L"EzTipItem";

HWND listOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

// The item at `at` (the list's client coordinates); -1 for none.
int itemAt(HWND list, POINT at) {
  const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
  return HIWORD(hit) != 0 ? -1 : static_cast<int>(LOWORD(hit));
}

LRESULT CALLBACK listProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR tooltips) {
  if (message == WM_MOUSEMOVE) {
    const int item =
        itemAt(list, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    // Stored plus one: a window without the property reads as no item.
    const int before = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(list, kItemProperty)));
    if (item + 1 != before) {
      SetPropW(list, kItemProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(item + 1)));
      SendMessageW(reinterpret_cast<HWND>(tooltips), TTM_POP, 0, 0);
    }
  } else if (message == WM_NCDESTROY) {
    RemovePropW(list, kItemProperty);
    RemoveWindowSubclass(list, listProcedure, kSubclassId);
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void ezwAddListItemTips(EzwForm& form, const EzwControl& combo, HWND tooltips) {
  const HWND list = listOf(combo.window);
  if (!list) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form.window;
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SetWindowSubclass(list, listProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(tooltips));
}

bool ezwListItemUnderMouse(const EzwForm& form, HWND window, int& id, int& value) {
  for (const auto& [controlId, control] : form.controls) {
    if (control.kind != EzKind::ComboBox || listOf(control.window) != window) continue;
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(window, &at);
    id = controlId;
    value = itemAt(window, at) + 1;
    return true;
  }
  return false;
}
