#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "help/shell_open.h"

void shellOpenFile(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path)));
}
