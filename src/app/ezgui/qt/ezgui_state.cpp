#include "app/ezgui/qt/ezgui_state.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

EzLayerState EzLayer;

EzForm* ezFindForm(const std::string& name) {
  return ezFormNamed(EzLayer.forms, name);
}

EzForm* ezFindFormBySerial(int serial) {
  return ezFormWithSerial(EzLayer.forms, serial);
}

EzControl* ezFindControl(const std::string& form, int id) {
  EzForm* f = ezFindForm(form);
  if (!f) return nullptr;
  auto it = f->controls.find(id);
  if (it == f->controls.end() || !it->second.widget) return nullptr;
  return &it->second;
}

int ezDeliver(int formSerial, int id, int code, int value) {
  EzForm* form = ezFindFormBySerial(formSerial);
  if (!form || !EzLayer.events) return 0;
  ++EzLayer.deliveryDepth;
  const int cancel = ezCallEventRoutine(EzLayer.events, *form, id, code, value);
  --EzLayer.deliveryDepth;
  if (EzLayer.deliveryDepth == 0 && EzLayer.endLoopWhenIdle) ezEndLoopWhenIdle();
  return cancel;
}

void ezEndLoopWhenIdle() {
  if (EzLayer.deliveryDepth > 0) {
    EzLayer.endLoopWhenIdle = true;
    return;
  }
  EzLayer.endLoopWhenIdle = false;
  if (EzLayer.loopRunning) QCoreApplication::exit(0);
}

namespace {

bool validUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t more = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + more >= s.size()) return false;
    const unsigned char second = static_cast<unsigned char>(s[i + 1]);
    if (second < low || second > high) return false;
    for (size_t k = 2; k <= more; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += more + 1;
  }
  return true;
}

}  // namespace

QString ezFromBytes(const std::string& text) {
  if (validUtf8(text)) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return ezFromLatin1(text);
}

QString ezFromLatin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ezToBytes(const QString& text) {
  return text.toStdString();
}

std::string ezToLatin1(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool ezOnGuiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

void ezEnsureDrainTimer() {
  if (EzLayer.drainTimer || !QCoreApplication::instance()) return;
  EzLayer.drainTimer = std::make_unique<QTimer>();
  EzLayer.drainTimer->setInterval(EzDrainIntervalMs);
  QObject::connect(EzLayer.drainTimer.get(), &QTimer::timeout, [] { ezDrainOnTimer(); });
  ezWatchQueueWith(EzLayer.drainTimer.get());
}

// ---- The hooks of the layer's shared part ----

EzFormBase* ezBackendForm(const std::string& name) {
  return ezFindForm(name);
}

EzFormBase* ezBackendFormWithSerial(int serial) {
  return ezFindFormBySerial(serial);
}

EzControlBase* ezBackendControl(const std::string& form, int id) {
  return ezFindControl(form, id);
}
