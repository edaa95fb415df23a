// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shared_routines.h"

#include <QApplication>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPalette>
#include <QResizeEvent>
#include <QWidget>
#include <atomic>

#include "app/quit_request.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/logging.h"

QString CurrentSoundFile;
QString EditOldName;

namespace {
std::atomic<bool> g_quitRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
}  // namespace

void RequestQuit(bool quit) { g_quitRequested.store(quit, std::memory_order_relaxed); }
bool QuitRequested() { return g_quitRequested.load(std::memory_order_relaxed); }

void WaitSeconds(int seconds) {
  auto& clock = platform::CurrentClock();
  auto stamp = [&clock] {
    const QTime t = clock.Now().time();
    return t.second() * 1000 + t.msec();
  };
  const qint64 wanted = qint64(seconds) * 1000;
  qint64 passed = 0;
  int last = stamp();
  // Readings a few milliseconds apart: each step bridges at most one minute roll-over, so the
  // sum stays right however long the wait.
  while (passed < wanted && !QuitRequested()) {
    // Sleep in short slices instead of spinning a core; still no window messages are handled.
    clock.SleepMs(int(qMin<qint64>(5, wanted - passed)));
    const int now = stamp();
    int step = now - last;
    if (step < 0) step += 60000;  // the minute rolled over
    passed += step;
    last = now;
  }
}

namespace {

// A Chinese input method in full-width mode types "１２"; such characters count as their
// ASCII twins.
QString HalfWidth(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E) {
      out += QChar(char16_t(u - 0xFEE0));
    } else if (u == 0x3000) {
      out += QLatin1Char(' ');
    } else {
      out += c;
    }
  }
  return out;
}

// Decimal digits with an optional leading "+", nothing else.
bool IsPlainNumber(const QString& s) {
  const qsizetype first = s.startsWith(QLatin1Char('+')) ? 1 : 0;
  if (s.size() == first) return false;
  for (qsizetype i = first; i < s.size(); ++i) {
    if (s[i] < QLatin1Char('0') || s[i] > QLatin1Char('9')) return false;
  }
  return true;
}

}  // namespace

QString PositiveIntegerText(const QString& text) {
  const QString t = HalfWidth(text).trimmed();
  bool ok = false;
  const int value = IsPlainNumber(t) ? t.toInt(&ok) : 0;
  return ok && value > 0 ? QString::number(value) : QString();
}

bool CheckIntegerEdit(QLineEdit* edit) {
  const QString plain = PositiveIntegerText(edit->text());
  if (!plain.isEmpty()) {
    // Callers store the box's text as the number, so it must read as the number itself.
    if (edit->text() != plain) edit->setText(plain);
    return true;
  }
  platform::MessageBox(edit->window(), QStringLiteral("此编辑框只能输入正整数"),
                       QStringLiteral("注意"), platform::MB_OK | platform::MB_ICONWARNING);
  edit->clear();
  edit->setFocus();
  return false;
}

QFont SongFont(int pixelSize, bool bold, bool italic, bool underline) {
  QFont f;
  f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                 QStringLiteral("Noto Sans CJK SC")});
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setItalic(italic);
  f.setUnderline(underline);
  return f;
}

namespace {
class RelayoutOnStateChange : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange) {
      auto* window = static_cast<QWidget*>(watched);
      QResizeEvent resize(window->size(), window->size());
      QCoreApplication::sendEvent(window, &resize);
    }
    return false;
  }
};
}  // namespace

void StartMaximized(QWidget* window) {
  window->setWindowState(window->windowState() | Qt::WindowMaximized);
  window->installEventFilter(new RelayoutOnStateChange(window));
}

void SetSkyBackground(QWidget* window) {
  QLinearGradient sky(0, 0, 0, 1);
  sky.setCoordinateMode(QGradient::ObjectMode);
  sky.setColorAt(0, QColor(214, 240, 255));
  sky.setColorAt(1, QColor(255, 246, 214));
  QPalette pal = window->palette();
  pal.setBrush(QPalette::Window, sky);
  window->setPalette(pal);
  window->setAutoFillBackground(true);
}
