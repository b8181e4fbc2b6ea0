// The main window reads the same under any desktop theme: every caption of
// the form stands out from what is behind it (a contrast of at least 4.5 to
// 1) whether the desktop's palette is light or dark.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "support/main_window.h"

namespace {

double channel(int value) {
  const double c = value / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour behind a widget as the user sees it: the average of what its
// parent paints there with the widget itself left out.
QColor behind(QWidget* widget) {
  widget->hide();
  const QImage image = widget->parentWidget()->grab(widget->geometry()).toImage();
  widget->show();
  double r = 0, g = 0, b = 0;
  const double n = static_cast<double>(image.width()) * image.height();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      r += c.red();
      g += c.green();
      b += c.blue();
    }
  }
  return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

QPalette lightTheme() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(239, 239, 239));
  p.setColor(QPalette::WindowText, Qt::black);
  p.setColor(QPalette::Base, Qt::white);
  p.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
  p.setColor(QPalette::Text, Qt::black);
  p.setColor(QPalette::Button, QColor(239, 239, 239));
  p.setColor(QPalette::ButtonText, Qt::black);
  p.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
  p.setColor(QPalette::ToolTipText, Qt::black);
  return p;
}

QPalette darkTheme() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(45, 45, 48));
  p.setColor(QPalette::WindowText, QColor(230, 230, 230));
  p.setColor(QPalette::Base, QColor(30, 30, 30));
  p.setColor(QPalette::AlternateBase, QColor(40, 40, 40));
  p.setColor(QPalette::Text, QColor(230, 230, 230));
  p.setColor(QPalette::Button, QColor(53, 53, 56));
  p.setColor(QPalette::ButtonText, QColor(230, 230, 230));
  p.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
  p.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
  return p;
}

// The desktop's theme is in place before the program starts, as it is
// for a user; the application's own palette is put back afterwards.
class Captions : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    saved = QApplication::palette();
    QApplication::setPalette(GetParam() ? darkTheme() : lightTheme());
    program.start();
  }
  void TearDown() override { QApplication::setPalette(saved); }

  void expectReadable(QLabel* caption, const std::string& what) {
    ASSERT_NE(caption, nullptr) << what;
    const QColor text = caption->palette().color(QPalette::WindowText);
    const QColor ground = behind(caption);
    EXPECT_GE(contrast(text, ground), 4.5)
        << what << " \"" << caption->text().toStdString() << "\": text "
        << text.name().toStdString() << " on " << ground.name().toStdString();
  }

  QPalette saved;
  MainWindowProgram program;
};

}  // namespace

TEST_P(Captions, EveryCaptionStandsOutFromItsBackground) {
  for (int id : {IdPathLabel, IdPortLabel, IdIncomingLabel, IdAppendLabel, IdOverwriteLabel}) {
    expectReadable(qobject_cast<QLabel*>(program.control(id)), "label " + std::to_string(id));
  }
  const auto parts = program.control(IdStatusBar)->findChildren<QLabel*>();
  ASSERT_EQ(parts.size(), 3);
  for (int i = 0; i < parts.size(); ++i) {
    expectReadable(parts[i], "status part " + std::to_string(i + 1));
  }
}

INSTANTIATE_TEST_SUITE_P(UnderTheme, Captions, ::testing::Values(false, true),
                         [](const auto& param) { return param.param ? "Dark" : "Light"; });
