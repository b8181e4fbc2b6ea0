// The rich-text view over RichEdit 4.1 (MSFTEDIT.DLL): plain text taken
// as bytes and shown one character per byte (Latin-1), inserts at the
// selection, the text limit that drops the oldest lines, and rich-text
// documents, which the control reads itself (EM_STREAMIN).
//
// The control counts a line end as one character, as the program does, so
// positions given to EZ_SETRICHSEL are character positions of the text with
// "\n" line ends.
//
// Calls from the receive worker's thread go through the worker-call queue
// (../ezgui_queue.cpp), which carries them out here on the GUI thread.
#include "app/ezgui/win32/ezgui_win32_state.h"

#include <richedit.h>

#include <algorithm>

#include "app/ezgui/ezgui_lines.h"

namespace {

HWND viewOf(const std::string& form, int id) {
  EzwControl* control = ezOnGuiThread() ? ezwFindControl(form, id) : nullptr;
  return control && control->kind == EzKind::RichView ? control->window : nullptr;
}

int limitOf(const std::string& form, int id) {
  EzwControl* control = ezwFindControl(form, id);
  return control ? control->richLimit : 0;
}

std::wstring fromLatin1(const std::string& bytes) {
  std::wstring wide;
  wide.reserve(bytes.size());
  for (unsigned char c : bytes) wide += static_cast<wchar_t>(c);
  return wide;
}

std::wstring textOf(HWND view) {
  GETTEXTLENGTHEX measure{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT length =
      SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                nullptr};
  const LRESULT got = SendMessageW(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  // The control ends its paragraphs with "\r" alone.
  std::replace(text.begin(), text.end(), L'\r', L'\n');
  return text;
}

LONG lengthOf(HWND view) {
  GETTEXTLENGTHEX measure{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<LONG>(
      SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&measure), 0));
}

CHARRANGE selectionOf(HWND view) {
  CHARRANGE range{0, 0};
  SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void select(HWND view, LONG start, LONG end) {
  CHARRANGE range{start, end};
  SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void replaceSelection(HWND view, const std::wstring& text) {
  SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Changing the text or the selection must not scroll: only EZ_SCROLLTO does.
class KeepScroll {
 public:
  explicit KeepScroll(HWND view) : view_(view) {
    SendMessageW(view_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at_));
  }
  ~KeepScroll() { SendMessageW(view_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at_)); }
  KeepScroll(const KeepScroll&) = delete;
  KeepScroll& operator=(const KeepScroll&) = delete;

 private:
  HWND view_;
  POINT at_{0, 0};
};

// Drops what the limit asks for in front of the insert point and inserts
// there, so that the view keeps its place; when the drop reaches past the
// insert point the text is laid down anew.
void insertPlain(HWND view, const std::wstring& incoming, int limit) {
  const KeepScroll keep(view);
  CHARRANGE at = selectionOf(view);
  if (at.cpMin > at.cpMax) std::swap(at.cpMin, at.cpMax);
  size_t drop = 0;
  std::wstring whole;
  if (limit > 0 &&
      lengthOf(view) - (at.cpMax - at.cpMin) + static_cast<LONG>(incoming.size()) > limit) {
    whole = textOf(view);
    whole.replace(static_cast<size_t>(at.cpMin), static_cast<size_t>(at.cpMax - at.cpMin),
                  incoming);
    drop = ezCharactersToDrop(whole, limit);
  }
  if (drop <= static_cast<size_t>(at.cpMin)) {
    if (drop > 0) {
      select(view, 0, static_cast<LONG>(drop));
      replaceSelection(view, L"");
      at.cpMin -= static_cast<LONG>(drop);
      at.cpMax -= static_cast<LONG>(drop);
    }
    select(view, at.cpMin, at.cpMax);
    replaceSelection(view, incoming);
    return;
  }
  select(view, 0, -1);
  replaceSelection(view, whole.substr(drop));
  const LONG after = at.cpMin + static_cast<LONG>(incoming.size()) - static_cast<LONG>(drop);
  select(view, std::clamp<LONG>(after, 0, lengthOf(view)),
         std::clamp<LONG>(after, 0, lengthOf(view)));
}

void replacePlain(HWND view, const std::wstring& text, int limit) {
  // EM_REPLACESEL, not WM_SETTEXT: a text that looks like a rich-text
  // document is still shown as it stands.
  select(view, 0, -1);
  replaceSelection(view, text.substr(ezCharactersToDrop(text, limit)));
  select(view, 0, 0);
}

struct Reading {
  const std::string* document;
  size_t at;
};

DWORD CALLBACK readDocument(DWORD_PTR cookie, LPBYTE into, LONG room, LONG* given) {
  auto* reading = reinterpret_cast<Reading*>(cookie);
  const size_t left = reading->document->size() - reading->at;
  const size_t count = std::min(left, static_cast<size_t>(room));
  std::copy_n(reading->document->data() + reading->at, count, into);
  reading->at += count;
  *given = static_cast<LONG>(count);
  return 0;
}

void loadDocument(HWND view, const std::string& rtf) {
  Reading reading{&rtf, 0};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reading), 0, readDocument};
  SendMessageW(view, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  select(view, 0, 0);
  SendMessageW(view, WM_VSCROLL, SB_TOP, 0);
}

}  // namespace

std::string ezwRichViewText(HWND view) {
  std::string bytes;
  for (wchar_t c : textOf(view)) bytes += c < 256 ? static_cast<char>(c) : '?';
  return bytes;
}

// ---- Creating ------------------------------------------------------------------------

void EZ_RICHTEXT2(const std::string& form, int id, float x, float y, float width, float height,
                  const std::string& props) {
  (void)props;
  if (!ezOnGuiThread()) return;
  if (!EzWin.richEditLibrary) EzWin.richEditLibrary = ezwSystemLibrary(L"MSFTEDIT.DLL");
  if (!EzWin.richEditLibrary) return;
  // The program writes the view; the user reads, selects and copies.
  const HWND view =
      ezwAddControl(form, id, EzKind::RichView, MSFTEDIT_CLASS,
                    ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, "", x, y,
                    width, height, WS_EX_CLIENTEDGE);
  if (!view) return;
  // The program's own limit (EZ_SETRICHTEXTLEN) is the only one.
  SendMessageW(view, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageW(view, EM_SETUNDOLIMIT, 0, 0);
}

void EZ_RICHTEXT(const std::string& form, int id, float x, float y, float width, float height,
                 const std::string& props) {
  EZ_RICHTEXT2(form, id, x, y, width, height, props);
}

// ---- Calls that may come from the worker ----------------------------------------------

void ezDoRichText(const std::string& form, int id, const std::string& text, int a, int b) {
  const HWND view = viewOf(form, id);
  if (!view) return;
  if (a == 1) {
    loadDocument(view, text);
  } else if (b == 1) {
    insertPlain(view, fromLatin1(text), limitOf(form, id));
  } else {
    replacePlain(view, fromLatin1(text), limitOf(form, id));
  }
}

void ezDoRichSelection(const std::string& form, int id, int start, int end) {
  const HWND view = viewOf(form, id);
  if (!view) return;
  const LONG length = lengthOf(view);
  const auto place = [length](int p) { return p < 0 ? length : std::min<LONG>(p, length); };
  const KeepScroll keep(view);
  select(view, place(start), place(end));
}

void ezDoScrollTo(const std::string& form, int id, int mode, int value) {
  (void)value;
  EzwControl* control = ezOnGuiThread() ? ezwFindControl(form, id) : nullptr;
  if (!control) return;
  SendMessageW(control->window, WM_VSCROLL, mode == 1 ? SB_BOTTOM : SB_TOP, 0);
}

// ---- GUI thread only --------------------------------------------------------------------

void EZ_SETRICHFONT(const std::string& form, int id, const std::string& face, float points,
                    const std::string& props, const std::string& extra, int a, int b) {
  (void)extra;
  (void)a;
  (void)b;
  const HWND view = viewOf(form, id);
  if (!view) return;
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
  const auto has = [&props](char letter) { return props.find(letter) != std::string::npos; };
  format.dwEffects =
      (has('B') ? CFE_BOLD : 0) | (has('I') ? CFE_ITALIC : 0) | (has('U') ? CFE_UNDERLINE : 0);
  if (!face.empty()) {
    format.dwMask |= CFM_FACE;
    const std::wstring name = ezwFromBytes(face).substr(0, LF_FACESIZE - 1);
    std::copy(name.begin(), name.end(), format.szFaceName);
    format.bPitchAndFamily = has('F') ? FIXED_PITCH : DEFAULT_PITCH;
  }
  if (points > 0) {
    format.dwMask |= CFM_SIZE;
    format.yHeight = static_cast<LONG>(points * 20);  // twips
  }
  SendMessageW(view, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  SendMessageW(view, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}
