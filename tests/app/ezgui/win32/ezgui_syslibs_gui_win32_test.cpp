// System libraries the GUI layer loads by name come from the system folder,
// never from the program's own folder, where a copy run from Downloads may
// find a planted library of the same name. The planted library here is a
// copy of this test program: any loadable image that is not the system's.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/win32/ezgui_win32_state.h"

namespace {

constexpr int kView = 200;

std::wstring moduleFile(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

std::wstring folderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

std::wstring loaded;

void events(std::string& form, int& id, int& code, int&, int&) {
  if (form != "MAIN" || id != 0 || code != EzStarted) return;
  loaded = EzWin.richEditLibrary ? moduleFile(EzWin.richEditLibrary) : L"";
  EZ_UNLOADFORM("MAIN");
}

void design(const std::string& form) {
  if (form == "MAIN") EZ_RICHTEXT2(form, kView, 1, 1, 40, 10, "ASV");
}

void startup(int) {
  EZ_FORM("MAIN", "", "Main", 0, 0, 60, 20, "");
}

// The planted file beside the program, gone again at the end.
class Planted {
 public:
  explicit Planted(const std::wstring& path) : path_(path) {
    CopyFileW(moduleFile(nullptr).c_str(), path_.c_str(), FALSE);
  }
  ~Planted() { DeleteFileW(path_.c_str()); }
  Planted(const Planted&) = delete;
  Planted& operator=(const Planted&) = delete;

 private:
  std::wstring path_;
};

}  // namespace

TEST(EzguiSystemLibrariesWin32, ARichEditLibraryPlantedBesideTheProgramIsNotLoaded) {
  const std::wstring programFolder = folderOf(moduleFile(nullptr));
  const Planted planted(programFolder + L"MSFTEDIT.DLL");
  ASSERT_NE(GetFileAttributesW((programFolder + L"MSFTEDIT.DLL").c_str()), INVALID_FILE_ATTRIBUTES);

  char name[] = "test";
  char* argv[] = {name, nullptr};
  EZ_GUIRUN(1, argv, startup, events, design);

  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_FALSE(loaded.empty()) << "no rich-edit library loaded";
  EXPECT_EQ(lower(folderOf(loaded)), lower(std::wstring(system) + L"\\"));
}
