// Pictures, icons and cursors. A name starting with "$" is an embedded
// resource, found as <resource folder>/NAME.<ext> in any letter case (icons
// as NAME_<pixels>.png, one file per size); other names are files in the
// image folder. A "{T}" joined to a name asks for transparency, which the
// image files carry themselves, so it is dropped.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>

#include "app/ezgui/qt/ezgui_controls.h"

namespace {

QString withoutMarks(const std::string& name) {
  QString n = ezFromBytes(name);
  n.remove(QStringLiteral("{T}"), Qt::CaseInsensitive);
  return n.trimmed();
}

// The file in `folder` whose whole name, or name before its extension,
// equals `name` in any letter case.
QString findInFolder(const QString& folder, const QString& name) {
  const QDir dir(folder);
  const QStringList entries = dir.entryList(QDir::Files | QDir::Readable);
  for (const QString& e : entries) {
    if (e.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(e);
  }
  for (const QString& e : entries) {
    if (QFileInfo(e).completeBaseName().compare(name, Qt::CaseInsensitive) == 0) {
      return dir.filePath(e);
    }
  }
  return QString();
}

QString imageFolder() {
  const QString folder = ezFromBytes(EzLayer.imageFolder);
  if (QDir::isAbsolutePath(folder)) return folder;
  return QDir(ezFromBytes(EZ_APPPATH())).filePath(folder);
}

QString pictureFile(const QString& name) {
  if (name.startsWith('$')) return findInFolder(ezFromBytes(EzLayer.resourceFolder), name.mid(1));
  if (QDir::isAbsolutePath(name)) return QFileInfo::exists(name) ? name : QString();
  return findInFolder(imageFolder(), name);
}

QIcon iconFromResources(const QString& name) {
  QIcon icon;
  const QDir dir(ezFromBytes(EzLayer.resourceFolder));
  const QRegularExpression sized('^' + QRegularExpression::escape(name) + R"(_(\d+)\.png$)",
                                 QRegularExpression::CaseInsensitiveOption);
  for (const QString& e : dir.entryList(QDir::Files)) {
    if (sized.match(e).hasMatch()) icon.addFile(dir.filePath(e));
  }
  if (icon.isNull()) {
    const QString single = findInFolder(dir.path(), name);
    if (!single.isEmpty()) icon.addFile(single);
  }
  return icon;
}

}  // namespace

void EZ_DEFIMAGEFOLDER(const std::string& folder) {
  EzLayer.imageFolder = folder;
}

std::string EZ_LOADPICTURE(const std::string& name) {
  if (!ezOnGuiThread()) return "";
  if (EzLayer.pictures.count(name)) return name;
  const QString file = pictureFile(withoutMarks(name));
  if (file.isEmpty()) return "";
  QPixmap picture(file);
  if (picture.isNull()) return "";
  EzLayer.pictures[name] = picture;
  return name;
}

int EZ_IMAGEHANDLE(const std::string& picture) {
  auto it = EzLayer.pictures.find(picture);
  if (it == EzLayer.pictures.end()) return 0;
  int& handle = EzLayer.imageHandles[picture];
  if (handle == 0) {
    EzLayer.images.push_back(it->second);
    handle = static_cast<int>(EzLayer.images.size());
  }
  return handle;
}

int EZ_LOADICON(const std::string& name) {
  if (!ezOnGuiThread()) return 0;
  const QString n = withoutMarks(name);
  QIcon icon;
  if (n.startsWith('$')) {
    icon = iconFromResources(n.mid(1));
  } else if (const QString file = pictureFile(n); !file.isEmpty()) {
    icon.addFile(file);
  }
  if (icon.isNull()) return 0;
  EzLayer.icons.push_back(icon);
  return static_cast<int>(EzLayer.icons.size());
}

void EZ_PICTURE(const std::string& form, int id, const std::string& picture, float x, float y,
                float width, float height, const std::string& props) {
  (void)props;
  QWidget* parent = ezControlParent(form);
  if (!parent) return;
  auto* label = new QLabel(parent);
  label->setScaledContents(true);
  if (auto it = EzLayer.pictures.find(picture); it != EzLayer.pictures.end()) {
    label->setPixmap(it->second);
  }
  ezAddControl(form, id, EzKind::Picture, label, x, y, width, height);
}

// "#A" arrow, "#W" wait (busy), "#I" text beam, "#C" cross, "#H" hand;
// other names are image files, their hot spot in the middle.
void EZ_LOADCURSOR(int number, const std::string& name) {
  const QString n = withoutMarks(name).toUpper();
  if (n == "#A") {
    EzLayer.cursors[number] = QCursor(Qt::ArrowCursor);
  } else if (n == "#W") {
    EzLayer.cursors[number] = QCursor(Qt::WaitCursor);
  } else if (n == "#I") {
    EzLayer.cursors[number] = QCursor(Qt::IBeamCursor);
  } else if (n == "#C") {
    EzLayer.cursors[number] = QCursor(Qt::CrossCursor);
  } else if (n == "#H") {
    EzLayer.cursors[number] = QCursor(Qt::PointingHandCursor);
  } else if (const QString file = pictureFile(withoutMarks(name)); !file.isEmpty()) {
    const QPixmap image(file);
    if (!image.isNull()) EzLayer.cursors[number] = QCursor(image);
  }
}

void EZ_SETCURSOR(const std::string& form, int number) {
  if (!ezOnGuiThread()) return;
  auto it = EzLayer.cursors.find(number);
  if (it == EzLayer.cursors.end()) return;
  if (!form.empty()) {
    if (EzForm* f = ezFindForm(form); f && f->window) f->window->setCursor(it->second);
    return;
  }
  EzLayer.currentCursor = number;
  // The arrow means "no cursor of the program's own": each widget shows its
  // usual one again (a text beam over text).
  if (it->second.shape() == Qt::ArrowCursor) {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  } else if (QApplication::overrideCursor()) {
    QApplication::changeOverrideCursor(it->second);
  } else {
    QApplication::setOverrideCursor(it->second);
  }
}
