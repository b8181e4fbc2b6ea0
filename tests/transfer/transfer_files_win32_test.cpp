// The transfer's two files over Win32: write modes, bytes as they are, names
// beyond ASCII, and files no other program may write to.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "transfer/transfer_files.h"

namespace fs = std::filesystem;

namespace {

class TransferFilesWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt) {
      const fs::path candidate =
          fs::temp_directory_path() / ("morvane-files-" + std::to_string(random()));
      if (fs::create_directory(candidate)) folder = candidate;
    }
    ASSERT_FALSE(folder.empty());
    path = (folder / "river.csv").string();
  }
  void TearDown() override {
    closeTransferFile(fd);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  void put(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good());
  }
  std::string content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool write(const std::string& bytes) {
    return writeWithin(fd, bytes.data(), bytes.size(), 0) == WriteOutcome::Written;
  }

  fs::path folder;
  std::string path;
  int fd = -1;
};

// Another program's handle on the file, opened as leniently as Windows allows.
HANDLE holdShared(const fs::path& file) {
  return CreateFileW(file.wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST_F(TransferFilesWin32Test, AppendKeepsTheContentAndAddsAtTheEnd) {
  put(path, "old line\n");
  fd = openOutputFile(path, true);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(write("new line\n"));
  EXPECT_TRUE(write("another\n"));
  closeTransferFile(fd);
  fd = -1;
  EXPECT_EQ(content(path), "old line\nnew line\nanother\n");
}

TEST_F(TransferFilesWin32Test, OverwriteEmptiesAndBothModesCreate) {
  put(path, "a longer old content\n");
  fd = openOutputFile(path, false);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(write("new\n"));
  closeTransferFile(fd);
  EXPECT_EQ(content(path), "new\n");

  const fs::path appended = folder / "appended.csv";
  fd = openOutputFile(appended.string(), true);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(write("first\n"));
  closeTransferFile(fd);
  EXPECT_EQ(content(appended), "first\n");

  const fs::path raw = folder / "Raw.txt";
  put(raw, "last transfer's chunks\r\n");
  fd = openRawLog(raw.string());
  ASSERT_GE(fd, 0);
  closeTransferFile(fd);
  fd = -1;
  EXPECT_EQ(content(raw), "");
}

TEST_F(TransferFilesWin32Test, BytesAreWrittenAsTheyAre) {
  fd = openOutputFile(path, false);
  ASSERT_GE(fd, 0);
  const std::string bytes("\rXSec,Date\r\n1,2\n\x00\x1a\x85 end", 24);
  EXPECT_TRUE(write(bytes));
  closeTransferFile(fd);
  fd = -1;
  EXPECT_EQ(content(path), bytes);
}

TEST_F(TransferFilesWin32Test, NamesBeyondAsciiAreTheUsersNames) {
  // "Flußdaten März €.csv" in UTF-8, as the program holds names.
  const std::string utf8 = (folder / "").string() +
                           "Flu\xc3\x9f"
                           "daten M\xc3\xa4rz \xe2\x82\xac.csv";
  fd = openOutputFile(utf8, false);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(write("x\n"));
  closeTransferFile(fd);
  fd = -1;
  const fs::path wide = folder / L"Flu\u00dfdaten M\u00e4rz \u20ac.csv";
  EXPECT_TRUE(fs::exists(wide));
  EXPECT_EQ(content(wide), "x\n");
}

TEST_F(TransferFilesWin32Test, NoOtherOpenerWhileTheTransferHoldsTheFile) {
  fd = openOutputFile(path, true);
  ASSERT_GE(fd, 0);
  const HANDLE other = holdShared(path);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  // Nor a second copy of the program.
  EXPECT_EQ(openOutputFile(path, true), -1);
  EXPECT_EQ(openRawLog(path), -1);
}

// A crew may look at the CSV in a spreadsheet while records arrive; nobody
// else may write to it, and the raw log stays the program's alone.
TEST_F(TransferFilesWin32Test, TheOutputFileMayBeReadButNotWrittenByOthers) {
  fd = openOutputFile(path, false);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(write("1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n"));
  const auto openAs = [](const fs::path& file, DWORD access) {
    return CreateFileW(file.wstring().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE reader = openAs(path, GENERIC_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  char seen[64] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(reader, seen, sizeof seen, &got, nullptr));
  EXPECT_EQ(std::string(seen, got), "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n");
  const HANDLE writer = openAs(path, GENERIC_WRITE);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  // The open reader does not stop the transfer's writes.
  EXPECT_TRUE(write("2,12/01/26,10:15:30,2.5,1.80,0.61,0,Feet\n"));
  CloseHandle(reader);

  const fs::path raw = folder / "Raw.txt";
  const int rawFd = openRawLog(raw.string());
  ASSERT_GE(rawFd, 0);
  const HANDLE rawReader = openAs(raw, GENERIC_READ);
  EXPECT_EQ(rawReader, INVALID_HANDLE_VALUE);
  if (rawReader != INVALID_HANDLE_VALUE) CloseHandle(rawReader);
  closeTransferFile(rawFd);
}

TEST_F(TransferFilesWin32Test, AFileHeldElsewhereIsRefusedAndLeftAsItWas) {
  put(path, "the spreadsheet's rows\n");
  const HANDLE other = holdShared(path);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(openOutputFile(path, false), -1);
  EXPECT_EQ(openOutputFile(path, true), -1);
  EXPECT_EQ(openRawLog(path), -1);
  CloseHandle(other);
  EXPECT_EQ(content(path), "the spreadsheet's rows\n");
}

TEST_F(TransferFilesWin32Test, WhatCannotBeOpenedGivesNoDescriptor) {
  EXPECT_EQ(openOutputFile("", false), -1);
  EXPECT_EQ(openRawLog(""), -1);
  EXPECT_EQ(openOutputFile((folder / "missing" / "river.csv").string(), true), -1);
  EXPECT_EQ(openOutputFile(folder.string(), false), -1);
  EXPECT_EQ(writeWithin(-1, "x", 1, 0), WriteOutcome::Failed);
  EXPECT_TRUE(closeTransferFile(-1));
  EXPECT_TRUE(syncAndCloseTransferFile(-1));
}

TEST_F(TransferFilesWin32Test, SyncedCloseKeepsEverythingWritten) {
  fd = openOutputFile(path, false);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(write("1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n"));
  EXPECT_TRUE(syncAndCloseTransferFile(fd));
  fd = openOutputFile(path, true);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(closeTransferFile(fd));
  fd = -1;
  EXPECT_EQ(content(path), "1,12/01/26,10:15:00,0.0,1.20,0.45,0,Feet\n");
}

// A pipe as the output file whose reader takes nothing: the write waits as
// long as it is told, then gives up instead of holding the worker.
TEST_F(TransferFilesWin32Test, APipeNobodyReadsTimesOutAfterTheWait) {
  const std::wstring name = L"\\\\.\\pipe\\morvane-test-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE reader =
      CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 64, 64, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::string utf8;
  for (wchar_t c : name) utf8 += static_cast<char>(c);
  fd = openOutputFile(utf8, true);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(writeWithin(fd, "abc", 3, 0), WriteOutcome::Written);
  const std::string block(4096, 'x');
  WriteOutcome outcome = WriteOutcome::Written;
  for (int i = 0; i < 64 && outcome == WriteOutcome::Written; ++i) {
    outcome = writeWithin(fd, block.data(), block.size(), 0);
  }
  EXPECT_EQ(outcome, WriteOutcome::TimedOut);
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(writeWithin(fd, block.data(), block.size(), 200), WriteOutcome::TimedOut);
  EXPECT_GE(GetTickCount64() - start, 150u);

  // Once the reader takes bytes again, a write with a wait goes through.
  std::string drained(65536, '\0');
  DWORD got = 0;
  ReadFile(reader, drained.data(), static_cast<DWORD>(drained.size()), &got, nullptr);
  EXPECT_GT(got, 0u);
  EXPECT_EQ(writeWithin(fd, "y", 1, 1000), WriteOutcome::Written);
  closeTransferFile(fd);
  fd = -1;
  CloseHandle(reader);
}
