#include "support/private_mounts.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

namespace {

constexpr const char* InsideVariable = "MORVANE_TEST_PRIVATE_MOUNTS";

std::string currentTestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

bool unshareFound() {
  return std::system("command -v unshare >/dev/null 2>&1") == 0;
}

}  // namespace

bool insidePrivateMounts() {
  return std::getenv(InsideVariable) != nullptr;
}

void rerunInPrivateMounts() {
  if (geteuid() != 0) GTEST_SKIP() << "mounting the small disk needs root";
  if (!unshareFound()) GTEST_SKIP() << "unshare(1) is not installed";
  const std::string command = std::string(InsideVariable) + "=1 unshare -m /proc/" +
                              std::to_string(getpid()) +
                              "/exe --gtest_filter=" + currentTestName() + " 2>&1";
  FILE* run = popen(command.c_str(), "r");
  ASSERT_NE(run, nullptr);
  std::string output;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, run)) > 0;) output.append(buffer, n);
  const int status = pclose(run);
  ASSERT_TRUE(WIFEXITED(status)) << output;
  if (output.find("[  SKIPPED ]") != std::string::npos) GTEST_SKIP() << output;
  EXPECT_TRUE(WEXITSTATUS(status) == 0 && output.find("[  PASSED  ] 1 test") != std::string::npos)
      << output;
}

void mountSmallDisk(const std::string& folder, const std::string& options) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) {
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0) << folder;
  }
  ASSERT_EQ(mount("tmpfs", folder.c_str(), "tmpfs", options == "ro" ? MS_RDONLY : 0,
                  options == "ro" ? nullptr : options.c_str()),
            0)
      << "cannot mount a tmpfs on " << folder << ": " << std::strerror(errno);
}
