// File names that are not valid UTF-8: the save dialog shows them as best it
// can, but what it gives back must be the very bytes of the file chosen, or
// the program writes to a file of another name. (Qt's dialog does not list
// such entries at all, so they reach it as the proposed name or folder.)
#include <QFile>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app/ezgui/ezgui.h"
#include "app/ezgui/qt/ezgui_readback.h"
#include "support/choice_form.h"
#include "support/gui_event_log.h"
#include "support/gui_test_support.h"

namespace {

constexpr const char* Filter = "Comma Separated Values|*.csv|Text Files|*.txt|All Files|*.*";
// "river é data.csv" written in Latin-1, as an older system or a memory card
// from another machine leaves it: the byte 0xE9 alone is not UTF-8.
const std::string Latin1Name = "river \xe9 data.csv";

std::string shownAs(const std::string& bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))
      .toStdString();
}

void makeFile(const std::string& path) {
  std::ofstream(path, std::ios::binary) << "1,Feet\n";
}

class DialogNames : public ::testing::Test {
 protected:
  void SetUp() override {
    installEventLog();
    EZ_FORM("MORVANE", "", "Main", 0, 0, 122, 40, "");
  }
  void TearDown() override { ezResetLayer(); }

  std::string saveFile(const std::string& proposed) {
    return EZ_SAVEFILE("Morvane", "Select Data File", temp.path(), proposed, Filter, "csv", "Z");
  }

  ChoiceTempFolder temp;
};

}  // namespace

TEST_F(DialogNames, ProposedNameAcceptedUnchangedComesBackByteForByte) {
  // The dialog opened again on the file chosen before.
  makeFile(temp.path() + Latin1Name);
  makeFile(temp.path() + "river \xc3\xa9 data.csv");  // the same name in UTF-8 beside it
  auto seen = acceptNextSaveDialog();
  const std::string path = saveFile(temp.path() + Latin1Name);
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(seen->proposedName, shownAs(Latin1Name)) << "shown as the list shows it";
  EXPECT_EQ(path, temp.path() + Latin1Name);
}

TEST_F(DialogNames, ProposedNameOfAFileNotYetMadeComesBackByteForByte) {
  auto seen = acceptNextSaveDialog();
  const std::string path = saveFile(temp.path() + Latin1Name);
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(path, temp.path() + Latin1Name);
}

TEST_F(DialogNames, ProposedNameGivenAnExtensionKeepsItsBytes) {
  // A name without extension gets the filter's when the dialog closes.
  auto seen = acceptNextSaveDialog();
  const std::string path = saveFile(temp.path() + "river \xe9");
  ASSERT_TRUE(seen->answered);
  EXPECT_EQ(path, temp.path() + "river \xe9.csv");
}

TEST_F(DialogNames, ValidNamesStayAsTyped) {
  // Spaces, UTF-8 and a name of the longest length a folder entry may have.
  const std::string longName = std::string(251, 'x') + ".csv";
  for (const std::string& name : {std::string("  river data .csv"),
                                  std::string("Fl\xc3\xbc\xc3\x9f \xe2\x82\xac.csv"), longName}) {
    auto seen = answerNextSaveDialog(temp.path() + name);
    const std::string path = saveFile("");
    ASSERT_TRUE(seen->answered);
    EXPECT_EQ(path, temp.path() + name);
  }
}
