// Build tool: renders the embedded help document into the PDF that the Help
// menu opens, so that the two always say the same.
//   morvane-helppdf <help.rtf> <out.pdf>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>
#include <string>

#include "help/rtf_reader.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <help.rtf> <out.pdf>\n", argv[0]);
    return 2;
  }
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  const QByteArray bytes = in.readAll();

  QTextDocument document;
  document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
  renderRtf(bytes.toStdString(), document);

  QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
  writer.setTitle(QStringLiteral("Morvane Data Transfer Utility Help"));
  writer.setCreator(QStringLiteral("Morvane Data Transfer Utility"));
  writer.setPageSize(QPageSize(QPageSize::A4));
  // Indents and paragraph spacing are in the document's pixels, which the
  // text layout does not scale to the writer; at 96 dots per inch the two agree.
  writer.setResolution(96);
  document.print(&writer);
  if (!QFile::exists(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
