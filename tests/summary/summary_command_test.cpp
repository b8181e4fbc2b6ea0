// morvane-summary's command line: its options, its JSON, its exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "summary/summary_command.h"

namespace {

class SummaryCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    folder =
        std::filesystem::temp_directory_path() /
        ("summary_command_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    std::ofstream(csv(), std::ios::binary)
        << "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r"
        << "3,12/01/26,10:15:00,0,0,0,,Feet\n"  // line 1, with the header
        << "3,12/01/26,10:16:00,2,2,1,60,Feet\n"
        << "3,12/01/26,10:17:00,4,0,0,,Feet\n"
        << "3,12/01/26,10:18:00,four,0,0,,Feet\n";
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string csv() const { return (folder / "river.csv").string(); }
  int run(const std::vector<std::string>& args) { return runSummaryCommand(args, out, err); }

  std::filesystem::path folder;
  std::string out, err;
};

// q = 2 wide x 2 deep x 1 cos 60 = 2; mean-section 2 (1)(.25) x 2 = 1.
TEST_F(SummaryCommand, JsonHasExactlyTheDocumentedShape) {
  EXPECT_EQ(run({"--json", csv()}), 0);
  EXPECT_EQ(out,
            "{\"measurements\": [{\"xsec\": \"3\", \"block\": 1, \"units\": \"Feet\", "
            "\"verticals\": 3, \"width\": 4, \"area\": 4, \"discharge\": 2, "
            "\"mean_velocity\": 0.5, \"mean_section_discharge\": 1, "
            "\"largest_share\": 1, \"flags\": [\"Vertical at station 2.00 "
            "carries 100.0 % of the discharge (above 10 %)\", \"Mean-section discharge differs "
            "from mid-section by -50.0 % (above 5 %)\", \"Only 3 verticals (fewer than 20)\"]}], "
            "\"skipped\": [{\"line\": 4, \"reason\": \"Station is not a number\"}]}\n");
  EXPECT_EQ(err, "");
}

TEST_F(SummaryCommand, OptionsStandBeforeOrAfterTheFile) {
  const std::string html = (folder / "out.html").string();
  EXPECT_EQ(run({csv(), "--html", html, "--json"}), 0);
  const std::string json = out;
  EXPECT_TRUE(std::filesystem::file_size(html) > 0);
  std::filesystem::remove(html);
  EXPECT_EQ(run({"--html", html, "--json", csv()}), 0);
  EXPECT_EQ(out, json);
  EXPECT_TRUE(std::filesystem::exists(html));
  EXPECT_EQ(run({csv()}), 0);
  EXPECT_NE(out.find("  Discharge:       2.000 ft\u00b3/s\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Skipped line 4: Station is not a number\n"), std::string::npos) << out;
}

TEST_F(SummaryCommand, FailuresExitOneWithAClearMessage) {
  const std::string missing = (folder / "missing.csv").string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{missing}, "morvane-summary: cannot open " + missing + "\n"},
      {{csv(), "--html", (folder / "no" / "r.html").string()},
       "morvane-summary: cannot write " + (folder / "no" / "r.html").string() + "\n"},
      {{}, "morvane-summary: no file named\n"},
      {{csv(), "--html"}, "morvane-summary: --html needs the name of the report to write\n"},
      {{csv(), "--xml"}, "morvane-summary: unknown option --xml\n"},
  };
  for (const auto& [args, message] : cases) {
    err.clear();
    EXPECT_EQ(run(args), 1) << message;
    EXPECT_EQ(err.substr(0, message.size()), message);
  }
}

// A folder named beyond ASCII, as below C:\Users\José: the CSV is read
// and the report written there.
TEST_F(SummaryCommand, FolderNamedBeyondAscii) {
  const std::string named =
      "Pr\xc3\xbc"
      "fung";
  const std::filesystem::path wide = folder / std::u8string(named.begin(), named.end());
  std::filesystem::create_directory(wide);
  std::filesystem::copy_file(csv(), wide / "river.csv");
  const std::string utf8 = folder.string() + "/" + named + "/";
  EXPECT_EQ(run({utf8 + "river.csv", "--html", utf8 + "river.html", "--json"}), 0) << err;
  EXPECT_TRUE(std::filesystem::exists(wide / "river.html"));
}

}  // namespace
