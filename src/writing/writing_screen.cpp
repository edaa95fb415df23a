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

#include "app/current_child.h"
#include "app/parent_gate.h"
#include "app/practice_log.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "data/data_module.h"
#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "data/record_store.h"
#include "data/recordings_library.h"
#include "platform/dataset.h"
#include "platform/logging.h"
#include "platform/sound.h"
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

const QStringList kPraise = {QStringLiteral("真棒！"), QStringLiteral("写得真好！"),
                             QStringLiteral("太棒了！")};

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
  m_concealed = -1;
  update();
}

void TCharacterRow::SetCurrent(int index) {
  m_current = index;
  update();
}

void TCharacterRow::Conceal(int index, int from) {
  if (m_concealed == index && m_concealedFrom == from) return;
  m_concealed = index;
  m_concealedFrom = from;
  update();
}

QString TCharacterRow::ShownText(int index) const {
  if (index != m_concealed) return m_characters.value(index);
  QString shown;
  int at = 0;
  for (const char32_t c : m_characters.value(index).toUcs4())
    shown += at++ < m_concealedFrom ? QString::fromUcs4(&c, 1) : QStringLiteral("？");
  return shown;
}

void TCharacterRow::SetStar(int index) {
  if (index < 0 || index >= m_stars.size()) return;
  m_stars[index] = true;
  update();
}

int TCharacterRow::Units() const {
  int units = 0;
  for (const QString& entry : m_characters) units += int(entry.toUcs4().size());
  return units;
}

int TCharacterRow::Unit() const {
  // Square cells a character, narrower when a long chapter would not fit.
  return Units() == 0 ? height() : qMin(height(), width() / Units());
}

QRect TCharacterRow::CellRect(int index) const {
  const int unit = Unit();
  int before = 0;
  for (int i = 0; i < index && i < m_characters.size(); ++i)
    before += int(m_characters[i].toUcs4().size());
  const int left = (width() - unit * Units()) / 2;
  const int units = index < m_characters.size() ? int(m_characters[index].toUcs4().size()) : 1;
  return QRect(left + before * unit, 0, units * unit, height());
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
    font.setPixelSize(qRound(qMin(cell.height(), cell.width() / m_characters[i].size()) * 0.62));
    p.setFont(font);
    p.setPen(i == m_current ? QColor(150, 0, 0) : QColor(60, 60, 60));
    p.drawText(cell, Qt::AlignCenter, ShownText(int(i)));
    if (m_stars[i]) {
      const qreal r = cell.height() * 0.17;
      p.setPen(QPen(QColor(190, 120, 0), 1));
      p.setBrush(kGold);
      p.drawPath(writing::StarPath(cell.topRight() + QPointF(-r - 1, r + 1), r));
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
    : TLessonScreen(owner, WritingKind()), m_data(&m_ownData) {
  // The screen's own mapping of the file: the pages it read are given back when it closes.
  m_ownData.Open(writing::StrokeFilePath());
  // The lessons are kept on the character screen; here the child only writes. In their place the
  // adult prints the chapter's practice sheet.
  zjsb->hide();
  zsb->hide();
  EditingLb->hide();
  PrintSb = MakeToolButton(zjsb->parentWidget(), QStringLiteral("打印字帖"),
                           QIcon(QStringLiteral(":/images/verse_items.png")), zjsb->geometry());
  PrintSb->setObjectName(QStringLiteral("PrintSb"));
  PrintSb->setToolTip(QStringLiteral("把这一章的字打印成田字格字帖（家长）"));
  connect(PrintSb, &QToolButton::clicked, this, [this] {
    if (!PassParentGate(this)) return;
    setProperty("chapter", browser().Chapter());
    ShowScreen(QStringLiteral("TPrintForm"), this);
  });
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
  mxsb = BodyButton(a, QStringLiteral("默写"), QStringLiteral(":/images/writing_quiz.png"),
                    QStringLiteral("不看字，自己一笔一笔写出来"));
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
  connect(mxsb, &QToolButton::clicked, this, &TxzmainForm::mxsbClick);
  connect(cxsb, &QToolButton::clicked, this, &TxzmainForm::cxsbClick);
  connect(Pad, &TWritingPad::strokeJudged, this, &TxzmainForm::StrokeJudged);
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
  const int spacing = qBound(8, (side - 4 * kButtonHeight) / 5, 24);
  const int buttonsTop = top + (side - 4 * kButtonHeight - 3 * spacing) / 2;
  QToolButton* buttons[] = {kbsb, mysb, mxsb, cxsb};
  for (int i = 0; i < 4; ++i)
    buttons[i]->move(buttonsLeft, buttonsTop + i * (kButtonHeight + spacing));
}

TxzmainForm::~TxzmainForm() { NoteUnfinished(); }

void TxzmainForm::ShowChapterItems(bool) {
  NextTimer->stop();
  NoteUnfinished();
  QStringList entries;
  m_sounds.clear();
  m_items.clear();
  m_texts.clear();
  // An item is one entry: a word is written one character after the other. Latin letters and
  // signs are left out; an entry met again in the chapter is written once.
  for (const QString& item : browser().Items()) {
    const bool found = browser().LocateItem(item);
    const QString sound = found ? dm->ALLQuery->Field(kSoundField) : QString();
    const QString text = found ? dm->ALLQuery->Field(WritingKind().textField) : QString();
    QString entry;
    for (const char32_t c : item.toUcs4())
      if (IsHan(c)) entry += QString::fromUcs4(&c, 1);
    if (entry.isEmpty() || entries.contains(entry)) continue;
    entries << entry;
    m_sounds << sound;
    m_items << item;
    m_texts << text;
  }
  Row->SetCharacters(entries);
  ShowStars();
  ChooseCharacter(entries.isEmpty() ? -1 : 0);
}

void TxzmainForm::ShowStars() {
  if (!m_starsLoaded && dm) {
    // What the last sessions wrote; a note made a moment ago may still be on its way.
    m_starsLoaded = true;
    records::Flush(1000);
    QSet<QString> kept;
    QString error;
    if (records::LoadWrittenCharacters(dm->ConnectionName(), CurrentChildId(), &kept, &error))
      m_written.unite(kept);
    else
      qCWarning(lcDb) << "written characters not read:" << error;
  }
  for (int i = 0; i < Row->Characters().size(); ++i) {
    bool all = true;
    for (const char32_t c : Row->Characters()[i].toUcs4())
      all = all && m_written.contains(QString::fromUcs4(&c, 1));
    if (all) Row->SetStar(i);
  }
}

QString TxzmainForm::CurrentCharacter() const {
  const QList<uint> entry = Row->Characters().value(Row->Current()).toUcs4();
  return m_part < entry.size() ? QString::fromUcs4(reinterpret_cast<const char32_t*>(&entry[m_part]), 1)
                               : QString();
}

// The strokes missed of characters left before they were finished still go into the record.
void TxzmainForm::NoteUnfinished() {
  for (auto it = m_missed.cbegin(); it != m_missed.cend(); ++it)
    if (it.value() > 0) records::NoteWriting(it.key(), it.value(), records::WritingWay::Unfinished);
  m_missed.clear();
}

void TxzmainForm::ChooseCharacter(int index) {
  NextTimer->stop();
  NoteUnfinished();
  platform::PlaySound(QString());
  const QStringList& entries = Row->Characters();
  Row->SetCurrent(index >= 0 && index < entries.size() ? index : -1);
  ShowPart(0);
}

void TxzmainForm::ShowPart(int part) {
  m_part = part;
  const QString character = CurrentCharacter();
  if (character.isEmpty()) {
    Pad->SetCharacter(QString(), std::nullopt);
    NoticeLb->setText(QStringLiteral("这一章节没有可以写的字"));
  } else {
    QString error;
    const auto strokes = m_data->IsOpen() ? m_data->Find(character.toUcs4().first(), &error)
                                          : std::nullopt;
    Pad->SetCharacter(character, strokes);
    const QString entry = Row->Characters().value(Row->Current());
    if (!m_data->IsOpen())
      NoticeLb->setText(m_data->Error().isEmpty() ? QStringLiteral("没有笔顺数据")
                                                  : m_data->Error());
    else if (!error.isEmpty())
      NoticeLb->setText(error);
    else if (!strokes)
      NoticeLb->setText(QStringLiteral("这个字还没有笔顺"));
    else
      ShowWhatIsAsked();
  }
  if (!Pad->HasStrokes()) Row->Conceal(-1, 0);
  for (QToolButton* b : {kbsb, mysb, mxsb, cxsb}) b->setEnabled(Pad->HasStrokes());
}

void TxzmainForm::ShowWhatIsAsked() {
  const QString entry = Row->Characters().value(Row->Current());
  const int characters = int(entry.toUcs4().size());
  const bool written = Pad->DoneStrokes() >= Pad->Strokes().size();
  const bool asked = Pad->mode() == TWritingPad::Mode::Quiz && !Pad->Helped() && !written;
  Row->Conceal(Pad->mode() == TWritingPad::Mode::Quiz ? Row->Current() : -1,
               asked ? m_part : m_part + 1);
  if (asked)
    NoticeLb->setText(characters > 1
                          ? QStringLiteral("听一听，写出这个词的第 %1 个字").arg(m_part + 1)
                          : QStringLiteral("听一听，把这个字写出来"));
  else if (characters > 1)
    NoticeLb->setText(
        QStringLiteral("“%1”的第 %2 个字：%3").arg(entry).arg(m_part + 1).arg(CurrentCharacter()));
  else
    NoticeLb->setText(QString());
}

void TxzmainForm::kbsbClick() {
  NextTimer->stop();
  const QString sound = m_sounds.value(Row->Current());
  // The item's recording, as on the character screen; none is no reason to keep the strokes back.
  const QString path = sound.isEmpty() ? QString() : recordings::LocalPath(dm->ConnectionName(), sound);
  const bool heard = !path.isEmpty() && QFileInfo(path).isFile();
  platform::PlaySound(heard ? path : QString());
  Pad->StartDemo(heard ? kListenMs : 0);
  ShowWhatIsAsked();
}

void TxzmainForm::StartWriting() {
  NextTimer->stop();
  m_quiz ? Pad->StartQuiz() : Pad->StartTrace();
  // From memory the character is heard instead of seen.
  const int entry = Row->Current();
  platform::PlaySound(m_quiz && Pad->mode() == TWritingPad::Mode::Quiz && dm
                          ? CharacterSoundFile(dm->ConnectionName(), m_items.value(entry),
                                               m_texts.value(entry), m_sounds.value(entry))
                          : QString());
  ShowWhatIsAsked();
}

void TxzmainForm::mysbClick() {
  m_quiz = false;
  StartWriting();
}

void TxzmainForm::mxsbClick() {
  m_quiz = true;
  StartWriting();
}

// Starts the character afresh the way it was being written; the misses so far still count.
void TxzmainForm::cxsbClick() { StartWriting(); }

void TxzmainForm::StrokeJudged(int, bool accepted) {
  if (!accepted) ++m_missed[CurrentCharacter()];
  ShowWhatIsAsked();
}

void TxzmainForm::Finished() {
  const QString character = CurrentCharacter();
  platform::PlaySound(kPraiseSound);
  Pad->ShowPraise(kPraise.value(int(m_written.size() % kPraise.size())));
  const records::WritingWay way = Pad->mode() != TWritingPad::Mode::Quiz ? records::WritingWay::Traced
                                  : Pad->Helped()                       ? records::WritingWay::Helped
                                                                        : records::WritingWay::Alone;
  records::NoteWriting(character, m_missed.take(character), way);
  m_written.insert(character);
  ShowStars();
  const bool more = m_part + 1 < Row->Characters().value(Row->Current()).toUcs4().size() ||
                    Row->Current() + 1 < Row->Characters().size();
  if (more) NextTimer->start();
}

void TxzmainForm::NextCharacter() {
  if (m_part + 1 < Row->Characters().value(Row->Current()).toUcs4().size())
    ShowPart(m_part + 1);
  else
    ChooseCharacter(Row->Current() + 1);
  StartWriting();
}
