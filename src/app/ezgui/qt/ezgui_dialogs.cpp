#include "app/ezgui/qt/ezgui_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QStringList>
#include <climits>

#include "app/ezgui/qt/ezgui_state.h"

namespace {

// The window that had the keyboard before a dialog gets it back when the
// dialog closes, as desktops do for an owner window; done here so that it
// holds under every window manager, or none.
void giveKeyboardBack(const QPointer<QWidget>& window) {
  if (window && window->isVisible()) window->activateWindow();
}

// The window a box without owner gives the keyboard to when it closes:
// the one that has it now. Right after a dialog closed, the window system
// may not have handed it back yet; the box then gives it to the program's
// main window, as a desktop would once the box is gone, so that the
// keyboard is not left with no window at all.
QPointer<QWidget> windowToGiveBack() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  const EzForm* main = ezFindForm(EzForms.mainFormKey);
  return main ? main->window : QPointer<QWidget>();
}

}  // namespace

QString ezQtFilter(const std::string& filter) {
  const QStringList parts = ezFromBytes(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
    }
    out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(' '));
  }
  return out.join(QStringLiteral(";;"));
}

QString ezFilterExtension(const QString& qtFilter) {
  const QRegularExpression firstPattern(R"(\(\s*\*\.([^\s\)\*\?]+))");
  const QRegularExpressionMatch m = firstPattern.match(qtFilter);
  return m.hasMatch() ? m.captured(1) : QString();
}

namespace {

// File names as Qt shows them: bytes that are not UTF-8 come out as U+FFFD,
// which cannot be turned back into them. (Qt's own dialog does not list
// such entries, so they reach it only as the proposed name or folder.)
QString shownPath(const std::string& bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string bytesOf(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The bytes of the path the user chose. Where it is the proposed file, that
// name with an extension added, or another name in the proposed folder,
// those parts keep the proposed bytes: a name that is not UTF-8 would
// otherwise come back as another file.
std::string chosenBytes(const QString& chosen, const std::string& proposed) {
  const std::string folder = folderOf(proposed);
  const QString shownFolder = shownPath(folder);
  if (folder.empty() || !chosen.startsWith(shownFolder)) return bytesOf(chosen);
  const QString name = chosen.mid(shownFolder.size());
  if (name.contains('/')) return bytesOf(chosen);
  const std::string proposedName = proposed.substr(folder.size());
  const QString shownName = shownPath(proposedName);
  if (!shownName.isEmpty() && name.startsWith(shownName)) {
    return folder + proposedName + bytesOf(name.mid(shownName.size()));
  }
  return folder + bytesOf(name);
}

}  // namespace

std::string ezBackendSaveFile(const std::string& form, const std::string& title,
                              const std::string& folder, const std::string& fileName,
                              const std::string& filter, const std::string& extension) {
  EzForm* owner = ezFindForm(form);
  // Given the folder from the start: a dialog made without one begins by
  // reading the folder Qt last visited, which can still take over later.
  QFileDialog dialog(owner ? owner->window.data() : nullptr, ezFromBytes(title),
                     folder.empty() ? QDir::currentPath() : shownPath(folder));
  // Qt's own dialog: the same everywhere, and one a test can answer.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Choosing an existing file to append to is the ordinary case, so no
  // "replace it?" question.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString filters = ezQtFilter(filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters.split(QStringLiteral(";;")));
  // A name typed without extension gets the one of the chosen filter, or
  // the given one when the filter takes any name.
  const QString fallback = ezFromBytes(extension);
  dialog.setDefaultSuffix(fallback);
  if (!filters.isEmpty()) {
    const auto follow = [&dialog, fallback](const QString& chosen) {
      const QString ext = ezFilterExtension(chosen);
      dialog.setDefaultSuffix(ext.isEmpty() ? fallback : ext);
    };
    follow(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
  }
  // Qt's dialog moves into the folder of the name it is given; a name too
  // long for the system to open is no file, and the dialog starts in the
  // given folder instead.
  if (!fileName.empty() && fileName.size() <= PATH_MAX) dialog.selectFile(shownPath(fileName));
  const QPointer<QWidget> hadKeyboard = QApplication::activeWindow();
  const int result = dialog.exec();
  giveKeyboardBack(hadKeyboard);
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
  return chosenBytes(dialog.selectedFiles().first(), fileName);
}

void EZ_MSGBOX(const std::string& text) {
  if (!ezOnGuiThread()) return;
  QString shown = ezFromBytes(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace('\r', '\n');
  QMessageBox box(QMessageBox::NoIcon, QString(), shown, QMessageBox::Ok, nullptr);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  const QPointer<QWidget> hadKeyboard = windowToGiveBack();
  box.show();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) box.raise();
  box.activateWindow();
  box.exec();
  giveKeyboardBack(hadKeyboard);
}
