// The report opened in a real browser (headless Chromium): its picture must
// be drawn, bars in each of the share colours above the water.
#include <gtest/gtest.h>
#include <QColor>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "summary/summary_report.h"

namespace {

// Interior verticals 1 wide and 1 deep with q = 6, 1.5 and 25 times 0.5:
// Q = 20, shares 30 %, 7.5 % and 2.5 %, one bar of each colour.
std::string threeShareSection() {
  std::string csv = "\rXSec,Date,Time,Station,Depth,Velocity,Angle,Units\r";
  auto record = [&](int station, double depth, double velocity) {
    csv += "9,12/01/26,10:00:00," + std::to_string(station) + "," + std::to_string(depth) + "," +
           std::to_string(velocity) + ",0,Meters\n";
  };
  record(0, 0, 0);
  record(1, 1, 6);
  record(2, 1, 1.5);
  for (int i = 3; i < 28; ++i) record(i, 1, 0.5);
  record(28, 0, 0);
  return csv;
}

QRgb rgbOf(const char* hex) {
  return QColor(hex).rgb();
}

TEST(ReportInBrowser, ThePictureIsDrawnWithBarsOfEachShareColour) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("report_browser_" + std::to_string(std::rand()) + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string page = (folder / "river.summary.html").string();
  const std::string shot = (folder / "shot.png").string();
  const FileSummary summary = summarizeFile(readMeasurements(threeShareSection()));
  std::string error;
  ASSERT_TRUE(writeReportFile(page, summaryReport(summary, "river.csv"), error)) << error;

  const std::string command =
      "timeout 90 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--user-data-dir=" +
      (folder / "profile").string() + " --window-size=1280,1000 --screenshot=" + shot + " file://" +
      page + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "chromium failed or timed out: " << command;
  const QImage image(QString::fromStdString(shot));
  ASSERT_FALSE(image.isNull());

  // The water is drawn only in the picture; the bars stand above its surface.
  const QRgb water = rgbOf("#cfe6f7");
  int surfaceRow = -1;
  for (int y = 0; y < image.height() && surfaceRow < 0; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == water) {
        surfaceRow = y;
        break;
      }
    }
  }
  ASSERT_GT(surfaceRow, 0) << "no water drawn";
  std::map<std::string, int> barPixels;
  for (const char* colour : {ShareLowColour, ShareNotedColour, ShareFlaggedColour}) {
    const QRgb rgb = rgbOf(colour);
    for (int y = 0; y < surfaceRow; ++y) {
      for (int x = 0; x < image.width(); ++x) barPixels[colour] += image.pixel(x, y) == rgb;
    }
    EXPECT_GT(barPixels[colour], 150) << "too little of " << colour << " above the water";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
