// SPDX-License-Identifier: GPL-3.0-or-later
#include "writing/writing_screen.h"

#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"
#include "platform/sound.h"
#include "records/practice_log.h"
#include "writing/writing_pad.h"

namespace {

const QString kSoundField = QStringLiteral("声音");
const QString kPraiseSound = QStringLiteral("CM.wav");
constexpr int kNextPauseMs = 2000;
constexpr int kListenMs = 1200;  // the recording before the stroke order
constexpr int kRowHeight = 72;
constexpr int kButtonWidth = 112;
constexpr int kButtonHeight = 64;
const QColor kBody(255, 244, 214);
const QColor kCell(255, 253, 244);
const QColor kCurrent(255, 210, 83);
const QColor kGold(255, 196, 0);

// Latin letters, digits and signs in a chapter are no characters to write.
bool IsHan(char32_t c) { return QChar::script(c) == QChar::Script_Han; }

QPainterPath Star(const QPointF& centre, qreal radius) {
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const qreal r = i % 2 ? radius * 0.45 : radius;
    const qreal a = M_PI / 2 + i * M_PI / 5;
    const QPointF pt(centre.x() + r * std::cos(a), centre.y() - r * std::sin(a));
    i == 0 ? star.moveTo(pt) : star.lineTo(pt);
  }
  star.closeSubpath();
  return star;
}

QToolButton* BodyButton(QWidget* parent, const QString& caption, const QString& picture,
                        const QString& hint) {
  QToolButton* b =
      MakeToolButton(parent, caption, QIcon(picture), QRect(0, 0, kButtonWidth, kButtonHeight), 32);
  b->setFont(SongFont(16, true));
  b->setToolTip(hint);
  return b;
}

}  // namespace

// --- the row of characters ---------------------------------------------------------------------

TCharacterRow::TCharacterRow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Row"));
  setCursor(Qt::PointingHandCursor);
  setToolTip(QStringLiteral("请点击字来学写字"));
}

void TCharacterRow::SetCharacters(const QStringList& characters) {
  m_characters = characters;
  m_stars = QList<bool>(characters.size(), false);
  m_current = -1;
  update();
}

void TCharacterRow::SetCurrent(int index) {
  m_current = index;
  update();
}

void TCharacterRow::SetStar(int index) {
  if (index < 0 || index >= m_stars.size()) return;
  m_stars[index] = true;
  update();
}

int TCharacterRow::CellWidth() const {
  // Square cells, narrower when a long chapter would not fit.
  if (m_characters.isEmpty()) return height();
  return qMin(height(), width() / int(m_characters.size()));
}

QRect TCharacterRow::CellRect(int index) const {
  const int w = CellWidth();
  const int left = (width() - w * int(m_characters.size())) / 2;
  return QRect(left + index * w, 0, w, height());
}

void TCharacterRow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font(QStringLiteral("Noto Serif CJK SC"));
  font.setBold(true);
  for (int i = 0; i < m_characters.size(); ++i) {
    const QRectF cell = QRectF(CellRect(i)).adjusted(3, 3, -3, -3);
    p.setPen(QPen(QColor(214, 60, 60), 1.5));
    p.setBrush(i == m_current ? kCurrent : kCell);
    p.drawRoundedRect(cell, 6, 6);
    font.setPixelSize(qRound(cell.height() * 0.62));
    p.setFont(font);
    p.setPen(i == m_current ? QColor(150, 0, 0) : QColor(60, 60, 60));
    p.drawText(cell, Qt::AlignCenter, m_characters[i]);
    if (m_stars[i]) {
      const qreal r = cell.height() * 0.17;
      p.setPen(QPen(QColor(190, 120, 0), 1));
      p.setBrush(kGold);
      p.drawPath(Star(cell.topRight() + QPointF(-r - 1, r + 1), r));
    }
  }
}

void TCharacterRow::mousePressEvent(QMouseEvent* event) {
  for (int i = 0; i < m_characters.size(); ++i)
    if (CellRect(i).contains(event->position().toPoint())) Q_EMIT chosen(i);
}

// --- the screen --------------------------------------------------------------------------------

const LessonKind& TxzmainForm::WritingKind() {
  static const LessonKind kind = [] {
    LessonKind k = Kind(LessonKindId::Character);
    k.screenCaption = QStringLiteral("幼儿写字");
    k.screenTitle = QStringLiteral("幼儿写字");
    k.helpWindow = QStringLiteral("TxzMYHLPForm");
    k.screenClass = QStringLiteral("TxzmainForm");
    return k;
  }();
  return kind;
}

TxzmainForm::TxzmainForm(QWidget* owner)
    : TLessonScreen(owner, WritingKind()), m_data(&writing::SharedStrokeData()) {
  // The lessons are kept on the character screen; here the child only writes.
  zjsb->hide();
  zsb->hide();
  FillBackground(designArea(), kBody);

  QWidget* a = designArea();
  Row = new TCharacterRow(a);
  Pad = new TWritingPad(a);
  Pad->setObjectName(QStringLiteral("Pad"));
  FillBackground(Pad, kBody);
  kbsb = BodyButton(a, QStringLiteral("看笔顺"), QStringLiteral(":/images/writing_watch.png"),
                    QStringLiteral("听一听，看看这个字怎么写"));
  mysb = BodyButton(a, QStringLiteral("描一描"), QStringLiteral(":/images/writing_trace.png"),
                    QStringLiteral("用鼠标或手指，一笔一笔描红"));
  cxsb = BodyButton(a, QStringLiteral("再写一遍"), QStringLiteral(":/images/writing_again.png"),
                    QStringLiteral("擦掉重新写"));
  NoticeLb = new QLabel(a);
  NoticeLb->setObjectName(QStringLiteral("NoticeLb"));
  NoticeLb->setFont(SongFont(15, true));
  NoticeLb->setAlignment(Qt::AlignCenter);
  NoticeLb->setWordWrap(true);
  QPalette red = NoticeLb->palette();
  red.setColor(QPalette::WindowText, QColor(200, 0, 0));
  NoticeLb->setPalette(red);

  NextTimer = new QTimer(this);
  NextTimer->setSingleShot(true);
  NextTimer->setInterval(kNextPauseMs);
  connect(NextTimer, &QTimer::timeout, this, &TxzmainForm::NextCharacter);
  connect(Row, &TCharacterRow::chosen, this, &TxzmainForm::ChooseCharacter);
  connect(kbsb, &QToolButton::clicked, this, &TxzmainForm::kbsbClick);
  connect(mysb, &QToolButton::clicked, this, &TxzmainForm::mysbClick);
  connect(cxsb, &QToolButton::clicked, this, &TxzmainForm::cxsbClick);
  connect(Pad, &TWritingPad::finished, this, &TxzmainForm::Finished);
  PlaceFrame();
}

void TxzmainForm::SetStrokeData(const writing::StrokeData* data) {
  m_data = data;
  ChooseCharacter(Row->Current());
}

void TxzmainForm::PlaceBody(const QRect& body) {
  Row->setGeometry(body.left() + 16, body.top() + 8, body.width() - 32, kRowHeight);
  const int top = Row->geometry().bottom() + 8;
  const int notice = 40;  // two lines: a missing file's message names the file
  const int side = qMax(100, body.bottom() - top - notice - 2);
  const int gap = 40;
  const int left = body.left() + (body.width() - side - gap - kButtonWidth) / 2;
  Pad->setGeometry(left, top, side, side);
  NoticeLb->setGeometry(body.left() + 16, top + side + 2, body.width() - 32, notice);
  const int buttonsLeft = left + side + gap;
  const int spacing = 24;
  const int buttonsTop = top + (side - 3 * kButtonHeight - 2 * spacing) / 2;
  QToolButton* buttons[] = {kbsb, mysb, cxsb};
  for (int i = 0; i < 3; ++i)
    buttons[i]->move(buttonsLeft, buttonsTop + i * (kButtonHeight + spacing));
}

void TxzmainForm::ShowChapterItems(bool) {
  NextTimer->stop();
  QStringList characters;
  m_sounds.clear();
  // A word gives each of its characters, with the word's recording; a character met again in
  // the chapter is written once.
  for (const QString& item : browser().Items()) {
    const QString sound = browser().LocateItem(item) ? dm->ALLQuery->Field(kSoundField) : QString();
    for (const char32_t c : item.toUcs4()) {
      const QString character = QString::fromUcs4(&c, 1);
      if (!IsHan(c) || characters.contains(character)) continue;
      characters << character;
      m_sounds << sound;
    }
  }
  Row->SetCharacters(characters);
  ChooseCharacter(characters.isEmpty() ? -1 : 0);
}

void TxzmainForm::ChooseCharacter(int index) {
  NextTimer->stop();
  platform::PlaySound(QString());
  const QStringList& characters = Row->Characters();
  if (index < 0 || index >= characters.size()) {
    Row->SetCurrent(-1);
    Pad->SetCharacter(QString(), std::nullopt);
    NoticeLb->setText(QStringLiteral("这一章节没有可以写的字"));
  } else {
    Row->SetCurrent(index);
    QString error;
    const char32_t c = characters[index].toUcs4().first();
    const auto strokes = m_data->IsOpen() ? m_data->Find(c, &error) : std::nullopt;
    Pad->SetCharacter(characters[index], strokes);
    if (!m_data->IsOpen())
      NoticeLb->setText(m_data->Error().isEmpty() ? QStringLiteral("没有笔顺数据")
                                                  : m_data->Error());
    else if (!error.isEmpty())
      NoticeLb->setText(error);
    else
      NoticeLb->setText(strokes ? QString() : QStringLiteral("这个字还没有笔顺"));
  }
  kbsb->setEnabled(Pad->HasStrokes());
  mysb->setEnabled(Pad->HasStrokes());
  cxsb->setEnabled(Pad->HasStrokes());
}

void TxzmainForm::kbsbClick() {
  NextTimer->stop();
  const QString sound = m_sounds.value(Row->Current());
  // The item's recording, as on the character screen; none is no reason to keep the strokes back.
  const bool heard = !sound.isEmpty() && QFileInfo(sound).isFile();
  platform::PlaySound(heard ? sound : QString());
  Pad->StartDemo(heard ? kListenMs : 0);
}

void TxzmainForm::mysbClick() {
  NextTimer->stop();
  platform::PlaySound(QString());
  Pad->StartTrace();
}

void TxzmainForm::cxsbClick() { mysbClick(); }

void TxzmainForm::Finished(int misses) {
  platform::PlaySound(kPraiseSound);
  Row->SetStar(Row->Current());
  records::NoteWriting(Row->Characters().value(Row->Current()), misses);
  if (Row->Current() + 1 < Row->Characters().size()) NextTimer->start();
}

void TxzmainForm::NextCharacter() {
  ChooseCharacter(Row->Current() + 1);
  Pad->StartTrace();
}
