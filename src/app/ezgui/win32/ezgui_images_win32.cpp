// Pictures and icons over Win32. A name starting with "$" is a resource of
// the program (found in any letter case, as the system finds resource
// names); other names are files in the image folder, bitmaps (.bmp) for
// pictures and icon files (.ico) for icons, with or without their
// extension. A "{T}" joined to a name asks for transparency, which icons
// carry themselves and the program's pictures do not need, so it is
// dropped.
#include <algorithm>
#include <cwctype>
#include <string>

#include "app/ezgui/win32/ezgui_win32_state.h"
#include "app/win32_text.h"

EzwPictureState EzwPictures;

namespace {

bool isFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isAbsolute(const std::wstring& path) {
  return (path.size() > 1 && path[1] == L':') ||
         (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
}

std::wstring imageFolder() {
  std::wstring folder = widen(EzwPictures.imageFolder);
  if (!isAbsolute(folder)) folder = widen(EZ_APPPATH()) + folder;
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

// The name without "{T}" (any case) and surrounding blanks.
std::wstring withoutMarks(const std::string& name) {
  std::wstring n = widen(name);
  for (size_t at = 0; (at = n.find(L'{', at)) != std::wstring::npos;) {
    if (n.size() - at >= 3 && std::towupper(n[at + 1]) == L'T' && n[at + 2] == L'}') {
      n.erase(at, 3);
    } else {
      ++at;
    }
  }
  const size_t first = n.find_first_not_of(L" \t");
  const size_t last = n.find_last_not_of(L" \t");
  return first == std::wstring::npos ? std::wstring() : n.substr(first, last - first + 1);
}

// A resource of the program or a file, as LoadImageW takes them.
HANDLE loadImage(const std::wstring& name, UINT kind, int width, int height) {
  if (!name.empty() && name[0] == L'$') {
    return LoadImageW(GetModuleHandleW(nullptr), name.substr(1).c_str(), kind, width, height,
                      kind == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0);
  }
  const std::wstring file = name.empty() ? std::wstring() : ezwImageFile(name);
  if (file.empty()) return nullptr;
  return LoadImageW(nullptr, file.c_str(), kind, width, height,
                    LR_LOADFROMFILE | (kind == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0));
}

}  // namespace

std::wstring ezwImageFile(const std::wstring& name) {
  const std::wstring path = isAbsolute(name) ? name : imageFolder() + name;
  if (isFile(path)) return path;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((path + L".*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  FindClose(search);
  const size_t cut = path.find_last_of(L"\\/");
  return path.substr(0, cut == std::wstring::npos ? 0 : cut + 1) + found.cFileName;
}

void EZ_DEFIMAGEFOLDER(const std::string& folder) {
  EzwPictures.imageFolder = folder;
}

std::string EZ_LOADPICTURE(const std::string& name) {
  if (!ezOnGuiThread()) return "";
  if (EzwPictures.pictures.count(name)) return name;
  const auto bitmap = static_cast<HBITMAP>(loadImage(withoutMarks(name), IMAGE_BITMAP, 0, 0));
  if (!bitmap) return "";
  EzwPictures.pictures[name] = bitmap;
  return name;
}

int EZ_IMAGEHANDLE(const std::string& picture) {
  const HBITMAP bitmap = ezwPictureBitmap(picture);
  if (!bitmap) return 0;
  int& handle = EzwPictures.imageHandles[picture];
  if (handle == 0) {
    EzwPictures.images.push_back(bitmap);
    handle = static_cast<int>(EzwPictures.images.size());
  }
  return handle;
}

HBITMAP ezwPictureBitmap(const std::string& picture) {
  const auto it = EzwPictures.pictures.find(picture);
  return it == EzwPictures.pictures.end() ? nullptr : it->second;
}

HBITMAP ezwImageBitmap(int handle) {
  if (handle < 1 || handle > static_cast<int>(EzwPictures.images.size())) return nullptr;
  return EzwPictures.images[static_cast<size_t>(handle - 1)];
}

int EZ_LOADICON(const std::string& name) {
  if (!ezOnGuiThread()) return 0;
  const std::wstring n = withoutMarks(name);
  // Each size drawn from the icon's own picture of that size, not scaled.
  EzwFormIcon icon;
  icon.big = static_cast<HICON>(
      loadImage(n, IMAGE_ICON, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
  icon.small = static_cast<HICON>(
      loadImage(n, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
  if (!icon.big || !icon.small) {
    if (icon.big) DestroyIcon(icon.big);
    if (icon.small) DestroyIcon(icon.small);
    return 0;
  }
  EzwPictures.icons.push_back(icon);
  return static_cast<int>(EzwPictures.icons.size());
}

void EZ_SETFORMICON(const std::string& name, int icon) {
  if (!ezOnGuiThread()) return;
  EzwForm* form = ezwFindForm(name);
  if (!form || !form->window || icon < 1 || icon > static_cast<int>(EzwPictures.icons.size()))
    return;
  const EzwFormIcon& chosen = EzwPictures.icons[static_cast<size_t>(icon - 1)];
  SendMessageW(form->window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(chosen.big));
  SendMessageW(form->window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(chosen.small));
}

void ezwForgetPictures() {
  for (auto& [name, bitmap] : EzwPictures.pictures) DeleteObject(bitmap);
  for (const EzwFormIcon& icon : EzwPictures.icons) {
    DestroyIcon(icon.big);
    DestroyIcon(icon.small);
  }
  for (HCURSOR cursor : EzwPictures.ownCursors) DestroyCursor(cursor);
  EzwPictures = EzwPictureState{};
}
