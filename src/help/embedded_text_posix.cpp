#include <QDir>
#include <QFile>
#include <QString>

#include "help/help_window.h"

namespace {

// Embedded documents are the program's resources with this extension.
constexpr char kDocumentExtension[] = ".rtf";
constexpr std::string::size_type kLongestName = 199;

}  // namespace

std::string loadEmbeddedText(const std::string& resourceName) {
  // The name is taken up to its first NUL and cut to the longest name.
  const std::string name = std::string(resourceName.c_str()).substr(0, kLongestName);
  const QString wanted = QString::fromLatin1(name) + QLatin1String(kDocumentExtension);
  const QDir folder(QStringLiteral(":/res"));
  for (const QString& entry : folder.entryList(QDir::Files)) {
    if (entry.compare(wanted, Qt::CaseInsensitive) != 0) continue;
    QFile file(folder.filePath(entry));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::string::size_type>(bytes.size()));
  }
  return {};
}
