// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/item_recording_controls.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <cmath>

#include "app/tool_button.h"
#include "data/item_recordings.h"
#include "editors/editor_frame.h"
#include "editors/item_editor.h"
#include "data/pinyin.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

namespace editors {
namespace {

constexpr int kTickMs = 50;
constexpr double kMeterFloorDb = -50;  // the bar's left end
constexpr double kMeterFall = 0.85;    // per tick

enum class Picture { Record, Stop, Speak, Pinyin };

// Small pictures in the style of the editor's other buttons, drawn here rather than shipped.
QIcon Draw(Picture what) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (what) {
    case Picture::Record:
      p.setPen(QPen(QColor(150, 0, 0), 2));
      p.setBrush(QColor(230, 30, 30));
      p.drawEllipse(QRectF(5, 5, 22, 22));
      break;
    case Picture::Stop:
      p.setPen(QPen(QColor(40, 40, 40), 2));
      p.setBrush(QColor(90, 90, 90));
      p.drawRoundedRect(QRectF(6, 6, 20, 20), 3, 3);
      break;
    case Picture::Speak: {
      QPainterPath bubble;
      bubble.addRoundedRect(QRectF(3, 4, 26, 18), 6, 6);
      QPolygonF tail;
      tail << QPointF(9, 20) << QPointF(7, 29) << QPointF(16, 21);
      bubble.addPolygon(tail);
      p.setPen(QPen(QColor(20, 80, 170), 2));
      p.setBrush(QColor(120, 180, 250));
      p.drawPath(bubble.simplified());
      p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
      for (int x : {10, 16, 22}) p.drawLine(QPointF(x, 11), QPointF(x, 15));
      break;
    }
    case Picture::Pinyin: {
      QFont f = p.font();
      f.setPixelSize(24);
      f.setBold(true);
      p.setFont(f);
      p.setPen(QColor(20, 110, 40));
      p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("ā"));
      break;
    }
  }
  return QIcon(pm);
}

QToolButton* Button(QWidget* parent, const QString& caption, Picture picture, const QRect& at) {
  QToolButton* b = MakeToolButton(parent, caption, Draw(picture), at);
  b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  return b;
}

QString Clock(double seconds) {
  const int s = static_cast<int>(seconds);
  return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {}

void LevelMeter::SetLevel(double peak) {
  const double db = peak > 0 ? 20 * std::log10(peak) : kMeterFloorDb;
  const double now = std::clamp(1 - db / kMeterFloorDb, 0.0, 1.0);
  m_shown = std::max(now, m_shown * kMeterFall);
  update();
}

void LevelMeter::Clear() {
  m_shown = 0;
  update();
}

void LevelMeter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect().adjusted(0, 0, -1, -1);
  p.setPen(QColor(128, 128, 128));
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(r);
  const QRect inside = r.adjusted(2, 2, -1, -1);
  QLinearGradient g(inside.topLeft(), inside.topRight());
  g.setColorAt(0, QColor(60, 190, 60));
  g.setColorAt(0.7, QColor(240, 210, 40));
  g.setColorAt(1, QColor(230, 40, 30));
  p.fillRect(
      QRect(inside.topLeft(), QSize(static_cast<int>(inside.width() * m_shown), inside.height())),
      g);
}

ItemRecordingControls::ItemRecordingControls(TItemEditorForm* editor, const QRect& row,
                                             const QRect& pinyinAt)
    : QObject(editor), m_editor(editor) {
  QWidget* panel = editor->Panel1;
  constexpr int kButton = 58;
  const QRect first(row.left(), row.top(), kButton, row.height());
  RecordSb = Button(panel, QStringLiteral("录音"), Picture::Record, first);
  StopSb = Button(panel, QStringLiteral("停止"), Picture::Stop, first.translated(kButton, 0));
  StopSb->setEnabled(false);
  const int meterLeft = first.left() + 2 * kButton + 8;
  const int speakLeft = row.right() + 1 - kButton;
  TimeLabel = new QLabel(panel);
  TimeLabel->setGeometry(speakLeft - 96, row.top(), 90, row.height());
  TimeLabel->setAlignment(Qt::AlignCenter);
  Meter = new LevelMeter(panel);
  Meter->setGeometry(meterLeft, row.top() + row.height() / 2 - 6, TimeLabel->x() - 6 - meterLeft,
                     12);
  SpeakSb = Button(panel, QStringLiteral("合成"), Picture::Speak,
                   QRect(speakLeft, row.top(), kButton, row.height()));
  connect(RecordSb, &QToolButton::clicked, this, [this] { RecordSbClick(); });
  connect(StopSb, &QToolButton::clicked, this, [this] { StopSbClick(); });
  connect(SpeakSb, &QToolButton::clicked, this, [this] { SpeakSbClick(); });
  // However the editor is left, a recording in progress ends with it.
  connect(editor, &QDialog::finished, this, [this] {
    if (!IsRecording()) return;
    m_microphone.Stop();
    SetRecording(false);
  });
  m_timer.setInterval(kTickMs);
  connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });

  if (QLineEdit* pyed = editor->PYED) {
    PinyinSb = Button(panel, QStringLiteral("拼音"), Picture::Pinyin, pinyinAt);
    connect(PinyinSb, &QToolButton::clicked, this, [this] { PinyinSbClick(); });
    // Leaving the name box proposes the pinyin as the button would; a proposal still standing
    // follows every change of the name, so a refused name leaves no stale reading behind.
    connect(editor->nameed, &QLineEdit::editingFinished, this, [this] { PinyinSbClick(); });
    connect(editor->nameed, &QLineEdit::textChanged, this, [this] {
      if (HoldsProposal() && !m_editor->PYED->text().isEmpty()) PinyinSbClick();
      UpdatePinyinButton();
    });
    connect(pyed, &QLineEdit::textChanged, this, [this] { UpdatePinyinButton(); });
    UpdatePinyinButton();
  }
}

bool ItemRecordingControls::HasName() {
  if (!m_editor->nameed->text().trimmed().isEmpty()) return true;
  Warn(m_editor,
       QStringLiteral("请先填写“%1”：声音文件用它来命名。").arg(m_editor->kind().nameLabel));
  m_editor->nameed->setFocus();
  return false;
}

void ItemRecordingControls::RecordSbClick() {
  if (IsRecording() || !HasName()) return;
  platform::PlaySound(QString());  // a test sound would be recorded too
  QString error;
  if (!m_microphone.Start(&error)) {
    Warn(m_editor, error);
    return;
  }
  SetRecording(true);
}

void ItemRecordingControls::StopSbClick() {
  if (!IsRecording()) return;
  const platform::Samples samples = platform::Tidy(m_microphone.Stop());
  SetRecording(false);
  if (samples.empty()) {
    Warn(m_editor, QStringLiteral("没有录到声音。请靠近麦克风，按“录音”再录一次。"));
    return;
  }
  Keep(samples);
}

void ItemRecordingControls::SpeakSbClick() {
  if (IsRecording() || !HasName()) return;
  const TItemEditorForm& e = *m_editor;
  platform::Samples samples;
  QString error;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = Speak(SpeechFor(e.kind(), e.nameed->text(), e.Text()), &samples, &error);
  QGuiApplication::restoreOverrideCursor();
  if (!ok) {
    Warn(m_editor, error);
    return;
  }
  Keep(samples);
}

bool ItemRecordingControls::HoldsProposal() const {
  const QString text = m_editor->PYED->text();
  return text.trimmed().isEmpty() || text == m_proposed;
}

void ItemRecordingControls::PinyinSbClick() {
  QLineEdit* pyed = m_editor->PYED;
  if (!pyed || !HoldsProposal()) return;  // the adult's own line stays
  m_proposed = ProposePinyin(m_editor->nameed->text());
  if (pyed->text() != m_proposed) pyed->setText(m_proposed);
}

void ItemRecordingControls::UpdatePinyinButton() {
  const QString proposal = ProposePinyin(m_editor->nameed->text());
  PinyinSb->setEnabled(HoldsProposal() && !proposal.isEmpty() &&
                       proposal != m_editor->PYED->text());
}

void ItemRecordingControls::Tick() {
  Meter->SetLevel(m_microphone.TakeLevel());
  TimeLabel->setText(Clock(m_microphone.Seconds()) + QStringLiteral(" / ") +
                     Clock(platform::kRecordingLimitSeconds));
  if (m_microphone.LimitReached()) StopSbClick();
}

void ItemRecordingControls::SetRecording(bool on) {
  RecordSb->setEnabled(!on);
  StopSb->setEnabled(on);
  SpeakSb->setEnabled(!on);
  // Saving or choosing another file mid-recording would drop what is being recorded.
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_editor->Selectfb, m_editor->Testsb, m_editor->DELLSB,
                                       m_editor->AddBtn, m_editor->ModifyBtn})
    w->setEnabled(!on);
  if (on) {
    Tick();
    m_timer.start();
  } else {
    m_timer.stop();
    Meter->Clear();
    TimeLabel->clear();
  }
}

void ItemRecordingControls::Keep(const platform::Samples& samples) {
  QString error;
  if (!m_editor->KeepRecording(platform::WavBytes(samples), m_editor->nameed->text(), &error))
    Warn(m_editor, error);
}

}  // namespace editors
