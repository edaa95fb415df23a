// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/pronunciation_popup.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "app/design_form.h"
#include "app/emoji_picture.h"
#include "app/practice_log.h"
#include "app/quit_request.h"
#include "app/shared_routines.h"
#include "data/recordings_library.h"
#include "platform/clock.h"
#include "platform/logging.h"
#include "platform/sound.h"

namespace {

constexpr int kWidth = 387;
constexpr int kHeight = 400;
constexpr int kPictureSide = 160;

// Shows each character in its own square of a writing grid (田字格), as in a child's exercise
// book; a two-character word gets two squares side by side.
class GridLabel final : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    const QList<uint> characters = text().toUcs4();  // whole characters, surrogates joined
    if (characters.isEmpty()) return;
    const int n = int(characters.size());
    const int side = qMin(qMin((width() - 16) / n, height() - 16), 176);
    const QRectF first((width() - side * n) / 2.0, (height() - side) / 2.0, side, side);
    QFont f = font();
    f.setPixelSize(qMin(f.pixelSize(), side * 17 / 20));
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(f);
    for (int i = 0; i < n; ++i) {
      const QRectF box = first.translated(i * side, 0);
      p.fillRect(box, QColor(255, 253, 240));
      p.setPen(QPen(QColor(226, 120, 110), 1, Qt::DashLine));
      p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
      p.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
      p.drawLine(box.topLeft(), box.bottomRight());
      p.drawLine(box.topRight(), box.bottomLeft());
      p.setPen(QPen(QColor(214, 70, 60), 2));
      p.drawRect(box);
      p.setPen(palette().color(QPalette::WindowText));
      const char32_t character = characters[i];
      p.drawText(box, Qt::AlignCenter, QString::fromUcs4(&character, 1));
    }
  }
};

bool RecordingExists(const QString& path) {
  // An empty path and a folder count as no recording; a library name that could not be fetched
  // plays the default sound.
  return recordings::IsLibraryName(path) || (!path.isEmpty() && QFileInfo(path).isFile());
}

}  // namespace

Tsendsongform::Tsendsongform(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("小朋友,跟着发音一起来学字哦"));
  setFixedSize(kWidth, kHeight);
  setFont(SongFont(12));
  // At its design place over the screen below it (whose design area may sit centred on a wider
  // screen), so that the screen's top bar stays in sight; QDialog would centre it.
  const QPoint place(193, 112);
  if (const auto* screen = qobject_cast<const TDesignForm*>(owner))
    move(screen->designArea()->mapToGlobal(place));
  else
    move(owner ? owner->mapToGlobal(place) : place);

  FYLB = new QLabel(QStringLiteral("发音："), this);
  FYLB->setFont(SongFont(19, true));
  FYLB->setStyleSheet(QStringLiteral("color: rgb(40, 60, 140);"));
  FYLB->move(8, 48);
  FYLB->resize(kWidth - 16, 30);

  Panel1 = new QFrame(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(2);
  Panel1->setGeometry(56, 112, 249, 201);
  Panel1->setAutoFillBackground(true);
  QPalette panelPalette = Panel1->palette();
  panelPalette.setColor(QPalette::Window, QColor(255, 236, 200));
  Panel1->setPalette(panelPalette);

  // Spans the panel so that a two-character word stays centred too.
  ZILB = new GridLabel(QStringLiteral("我"), Panel1);
  ZILB->setFont(SongFont(96, true));
  ZILB->setAlignment(Qt::AlignCenter);
  QPalette red = ZILB->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  ZILB->setPalette(red);
  ZILB->setGeometry(Panel1->contentsRect());

  PictureLB = new QLabel(this);
  PictureLB->setGeometry(217, 132, kPictureSide, kPictureSide);
  PictureLB->hide();

  NOLB = new QLabel(QStringLiteral("此字没有录音,请录制声音进行教学"), this);
  NOLB->setFont(SongFont(14));
  NOLB->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
  NOLB->move(72, 336);
  NOLB->adjustSize();
  NOLB->hide();

  Timer1 = new QTimer(this);
  Timer1->setInterval(500);
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &Tsendsongform::Timer1Timer);
  Timer1->start();
}

void Tsendsongform::ShowPicture(const QString& emoji) {
  ShowEmoji(PictureLB, emoji, kPictureSide);
  if (PictureLB->isHidden()) return;
  // The character moves left to make room; a two-character word still fits at 96 pixels.
  Panel1->setGeometry(8, 112, 201, 201);
  ZILB->setGeometry(Panel1->contentsRect());
}

void Tsendsongform::Timer1Timer() {
  if (!m_awaiting) {
    PlayAndClose();
    return;
  }
  Timer1->stop();
  m_due = true;
}

void Tsendsongform::RecordingArrived(const QString& path) {
  CurrentSoundFile = path;
  m_awaiting = false;
  if (m_due) PlayAndClose();
}

void Tsendsongform::PlayAndClose() {
  Timer1->stop();
  records::Note(LessonKindId::Character, ZILB->text());
  const QString path = CurrentSoundFile;
  if (!RecordingExists(path)) {
    qCInfo(lcSound) << "no recording for" << ZILB->text() << "at" << path;
    NOLB->show();
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Let the hourglass and the window reach the screen before the waits block this thread;
  // input stays queued until the waits are over.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  platform::PlaySound(path);
  for (int i = 0; i < 2 && !QuitRequested(); ++i) {
    WaitSeconds(3);
    if (!QuitRequested()) platform::PlaySound(path);
  }
  WaitSeconds(4);
  QApplication::restoreOverrideCursor();
  close();
}

void Tsendsongform::FormClick() { close(); }

void Tsendsongform::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  m_shownAt = platform::CurrentClock().Now();
}

void Tsendsongform::keyPressEvent(QKeyEvent* event) {
  // Only a click on the background and the close box close it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void Tsendsongform::mousePressEvent(QMouseEvent* event) {
  QDialog::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || childAt(event->position().toPoint())) return;
  // A child's double-click on a character opens the pop-up under the pointer: its second click
  // (also delivered here as a press) must not close it again at once.
  const qint64 upMs = m_shownAt.msecsTo(platform::CurrentClock().Now());
  if (m_shownAt.isValid() && upMs > QApplication::doubleClickInterval()) FormClick();
}

void Tsendsongform::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient sky(0, 0, 0, height());
  sky.setColorAt(0, QColor(214, 240, 255));
  sky.setColorAt(1, QColor(255, 246, 214));
  p.fillRect(rect(), sky);
}
