// Draws the program's artwork as the PNG files that the build embeds:
//   morvane-artwork-tool <folder>
// writes PROP1_16/32/48/64.png, BG2.png and MORVANE1.png into <folder>.
// The build target `morvane-artwork` runs it on src/resources/embedded.
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <cstdio>

#include "artwork.h"

namespace {

bool save(const QImage& image, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "morvane-artwork-tool: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  // A stand-in face would silently change the logo; better to stop.
  if (QFontInfo(QFont(QStringLiteral("DejaVu Sans"))).family() != QStringLiteral("DejaVu Sans")) {
    std::fprintf(stderr, "%s: the DejaVu Sans face is missing (fonts-dejavu-core)\n", argv[0]);
    return 1;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists()) {
    std::fprintf(stderr, "%s: no folder %s\n", argv[0], argv[1]);
    return 1;
  }
  bool ok = true;
  for (int pixels : {16, 32, 48, 64}) {
    ok = save(drawIcon(pixels), folder, QStringLiteral("PROP1_%1.png").arg(pixels)) && ok;
  }
  ok = save(drawBackground(), folder, QStringLiteral("BG2.png")) && ok;
  ok = save(drawLogo(), folder, QStringLiteral("MORVANE1.png")) && ok;
  return ok ? 0 : 1;
}
