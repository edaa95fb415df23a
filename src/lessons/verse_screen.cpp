// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/verse_screen.h"

#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QCryptographicHash>
#include <QDir>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "app/emoji_picture.h"
#include "app/practice_log.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/item_pictures.h"
#include "data/item_recordings.h"
#include "data/pinyin.h"
#include "data/recordings_library.h"
#include "lessons/poem_view.h"
#include "platform/dataset.h"
#include "platform/dialogs.h"
#include "platform/logging.h"
#include "platform/sound.h"
#include "platform/wav_file.h"

namespace {

constexpr int kButtonColumnWidth = 104;
// The body sits inside a 2-pixel frame: list panel + button column + text panel = 796.
constexpr int kBodyMargin = 2;
constexpr int kBlinkTicks = 7;
// A little air between the names, for small fingers on the mouse.
constexpr int kEntryHeight = 24;
// Margins and spacing around an entry's picture and name.
constexpr int kEntryChrome = 16;

const QColor kFrameColour(150, 190, 230);
const QString kPinyinSetting = QStringLiteral("poem/pinyin");
const QString kSoundField = QStringLiteral("声音");

TVerseScreen* g_openScreens[3] = {nullptr, nullptr, nullptr};

TVerseScreen*& OpenSlot(LessonKindId kind) { return g_openScreens[static_cast<int>(kind)]; }

void StopSound() { platform::PlaySound(QString()); }

QIcon Picture(const QString& name) { return QIcon(QStringLiteral(":/images/") + name); }

// The button column's ordinary (raised) buttons.
QToolButton* ColumnButton(QWidget* parent, const QString& text, const QIcon& icon, int top) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setIcon(icon);
  b->setIconSize(QSize(16, 16));
  b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFont(SongFont(14, true));
  b->setGeometry(11, top, 84, 36);
  return b;
}

}  // namespace

TVerseScreen* OpenVerseScreen(LessonKindId kind) { return OpenSlot(kind); }

TVerseScreen::TVerseScreen(QWidget* owner, LessonKindId kind) : TLessonScreen(owner, Kind(kind)) {
  m_body = new QWidget(designArea());
  BuildBody(m_body);
  Timer4 = new QTimer(this);
  Timer4->setInterval(400);
  connect(Timer4, &QTimer::timeout, this, &TVerseScreen::Timer4Timer);
  LineTimer = new QTimer(this);
  LineTimer->setInterval(50);
  connect(LineTimer, &QTimer::timeout, this, &TVerseScreen::LightLine);
  OpenSlot(kind) = this;
  PlaceFrame();
}

TVerseScreen::~TVerseScreen() {
  // FormDestroy: the list managers must not reach a screen that is gone.
  if (OpenSlot(kind().id) == this) OpenSlot(kind().id) = nullptr;
}

void TVerseScreen::BuildBody(QWidget* body) {
  FillBackground(body, kFrameColour);

  Tree1 = new QTreeWidget(body);
  Tree1->setHeaderHidden(true);
  Tree1->setColumnCount(1);
  Tree1->setRootIsDecorated(false);
  Tree1->setIndentation(19);
  Tree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Tree1->setSelectionMode(QAbstractItemView::SingleSelection);
  Tree1->setIconSize(QSize(16, 16));
  QFont listFont = SongFont(16, true);
  listFont.setFamilies(QStringList{QStringLiteral("NSimSun")} + listFont.families());
  Tree1->setFont(listFont);
  Tree1->setToolTip(kind().listHint);
  QPalette pal = Tree1->palette();
  // The chosen entry stays highlighted while the child presses the buttons beside it.
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
  pal.setColor(QPalette::Base, QColor(255, 253, 244));
  Tree1->setPalette(pal);
  Tree1->installEventFilter(this);
  connect(Tree1, &QTreeWidget::itemClicked, this, [this] { Tree1Click(); });
  connect(Tree1, &QTreeWidget::itemDoubleClicked, this, [this] { LDSBClick(); });

  auto* column = m_column = new QFrame(body);
  column->setFrameStyle(QFrame::Panel | QFrame::Raised);
  // Spread over the column's height, whatever the window gives it.
  QLinearGradient cream(0, 0, 0, 1);
  cream.setCoordinateMode(QGradient::ObjectBoundingMode);
  cream.setColorAt(0, QColor(255, 250, 228));
  cream.setColorAt(1, QColor(255, 232, 180));
  FillBackground(column, cream);
  XYSSB = ColumnButton(column, kind().nextCaption, Picture(QStringLiteral("verse_next.png")), 29);
  SYSSB = ColumnButton(column, kind().previousCaption,
                       Picture(QStringLiteral("verse_previous.png")), 64);
  LDSB =
      ColumnButton(column, QStringLiteral("朗读"), Picture(QStringLiteral("verse_read.png")), 141);
  ldshow = new QLabel(QStringLiteral("没有录制声音哦"), column);
  ldshow->setFont(SongFont(12));
  pal = ldshow->palette();
  pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
  ldshow->setPalette(pal);
  ldshow->move(11, 192);
  ldshow->adjustSize();
  ldshow->hide();
  connect(XYSSB, &QToolButton::clicked, this, &TVerseScreen::XYSSBClick);
  connect(SYSSB, &QToolButton::clicked, this, &TVerseScreen::SYSSBClick);
  connect(LDSB, &QToolButton::clicked, this, &TVerseScreen::LDSBClick);

  me1 = new QPlainTextEdit(body);
  me1->setReadOnly(true);
  me1->setFont(SongFont(35));
  me1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Long lines and unbroken words alike stay inside the panel.
  me1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // No scroll bar while the text fits; a long poem can still be read to its end.
  me1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  me1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  pal = me1->palette();
  pal.setColor(QPalette::Base, QColor(155, 234, 179));
  pal.setColor(QPalette::Text, Qt::black);
  me1->setPalette(pal);

  if (kind().id == LessonKindId::English) {
    WordLb = new QLabel(body);
    WordLb->setObjectName(QStringLiteral("WordLb"));
    WordLb->setAlignment(Qt::AlignCenter);
    WordLb->setWordWrap(true);
    WordLb->setAutoFillBackground(true);
    WordLb->setPalette(me1->palette());
    QPalette word = WordLb->palette();
    word.setColor(QPalette::Window, QColor(155, 234, 179));
    word.setColor(QPalette::WindowText, QColor(20, 60, 160));
    WordLb->setPalette(word);
    QFont big = SongFont(56, true);
    big.setFamilies(QStringList{QStringLiteral("Noto Sans")} + big.families());
    WordLb->setFont(big);
    PictureLb = new QLabel(body);
    PictureLb->setObjectName(QStringLiteral("PictureLb"));
    PictureLb->setAlignment(Qt::AlignCenter);
    PictureLb->setAutoFillBackground(true);
    PictureLb->setPalette(word);
    PictureLb->hide();
    return;
  }
  if (kind().id != LessonKindId::Poem) return;
  PoemScroll = new QScrollArea(body);
  PoemScroll->setFrameShape(QFrame::NoFrame);
  PoemScroll->setWidgetResizable(true);
  PoemScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Poem = new TPoemView(PoemScroll);
  PoemScroll->setWidget(Poem);
  me1->hide();
  PinyinSb = ColumnButton(column, QStringLiteral("拼音"), Picture(QStringLiteral("verse_read.png")),
                          232);
  PinyinSb->setCheckable(true);
  PinyinSb->setChecked(QSettings().value(kPinyinSetting, true).toBool());
  PinyinSb->setToolTip(QStringLiteral("显示或者隐藏字上面的拼音"));
  Poem->SetPinyinShown(PinyinSb->isChecked());
  connect(PinyinSb, &QToolButton::toggled, this, [this](bool shown) {
    Poem->SetPinyinShown(shown);
    QSettings().setValue(kPinyinSetting, shown);
  });
  connect(Poem, &TPoemView::characterTouched, this, &TVerseScreen::SayCharacter);
}

void TVerseScreen::PlaceBody(const QRect& area) {
  m_body->setGeometry(area);
  // The list and the buttons keep their widths; the text panel takes the rest, so long poems and
  // sentences wrap less.
  const int h = area.height() - 2 * kBodyMargin;
  int x = kBodyMargin;
  Tree1->setGeometry(x, kBodyMargin, kind().itemPanelWidth, h);
  x += kind().itemPanelWidth;
  m_column->setGeometry(x, kBodyMargin, kButtonColumnWidth, h);
  x += kButtonColumnWidth;
  me1->setGeometry(x, kBodyMargin, area.width() - kBodyMargin - x, h);
  if (WordLb) {
    // The picture and the word on top, half of the panel; the translation below.
    const QRect panel = me1->geometry();
    m_wordRow = QRect(panel.x(), panel.y(), panel.width(), panel.height() / 2);
    me1->setGeometry(panel.x(), m_wordRow.bottom() + 1, panel.width(),
                     panel.height() - m_wordRow.height());
    PlaceWord();
  }
  if (PoemScroll) {
    PoemScroll->setGeometry(me1->geometry());
    Poem->SetRoom(PoemScroll->viewport()->height());
  }
}

bool TVerseScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Tree1 && event->type() == QEvent::KeyPress)
    Tree1KeyDown(static_cast<QKeyEvent*>(event)->key());  // not consumed: the list moves on
  return TLessonScreen::eventFilter(watched, event);
}

void TVerseScreen::ShowChapterItems(bool loaded) {
  // Never leave the previous chapter's names listed under the newly chosen chapter.
  Tree1->clear();
  if (!loaded) {
    me1->clear();  // the previous chapter's text does not belong to the chosen chapter
    return;
  }
  if (browser().Items().isEmpty()) return;  // the text panel keeps what it showed
  const QIcon picture(kind().itemPicture);
  // Room for a name beside the picture; a longer one shows whole as a tooltip.
  const int room = Tree1->viewport()->width() - Tree1->iconSize().width() - kEntryChrome;
  for (const QString& name : browser().Items()) {
    auto* entry = new QTreeWidgetItem(Tree1, QStringList{name});
    entry->setIcon(0, picture);
    entry->setSizeHint(0, QSize(0, kEntryHeight));
    if (Tree1->fontMetrics().horizontalAdvance(name) > room) entry->setToolTip(0, name);
  }
  me1->clear();
  Tree1->setFocus();
  if (!SelectedEntry()) Tree1->setCurrentItem(Tree1->topLevelItem(0));
  Tree1Click();
}

// --- items ---------------------------------------------------------------------------------------

QTreeWidgetItem* TVerseScreen::SelectedEntry() const {
  QTreeWidgetItem* current = Tree1->currentItem();
  return current && current->isSelected() ? current : nullptr;
}

void TVerseScreen::Tree1Click() {
  QTreeWidgetItem* entry = SelectedEntry();
  if (!entry) return;
  ShowItem(entry->text(0));
}

void TVerseScreen::ShowItem(const QString& name) {
  if (Tree1->topLevelItemCount() == 0 || !SelectedEntry()) return;
  if (browser().LocateItem(name)) {
    platform::Dataset* q = dm->ALLQuery;
    if (q->FieldIndex(kind().textField) < 0)
      ReportError(QStringLiteral("找不到字段“%1”").arg(kind().textField));
    else if (q->FieldIsNull(kind().textField))
      ReportError(QStringLiteral("“%1”的%2没有内容").arg(name, kind().textField));
    else
      me1->setPlainText(q->Field(kind().textField));
    if (Poem) Poem->SetPoem(name, me1->toPlainText());
    if (WordLb) {
      WordLb->setText(name);
      m_picture = pictures::ItemPicture(*q, kind());
      PlaceWord();
    }
  }
  // The previous item's recording must not run on under the new text.
  StopSound();
  LineTimer->stop();
  if (Poem) Poem->SetLitLine(-1);
}

void TVerseScreen::PlaceWord() {
  // The picture as tall as the row, left; the word beside it, or across the row without one.
  const int side = qMin(m_wordRow.height(), m_wordRow.width() / 2);
  PictureLb->setGeometry(m_wordRow.x(), m_wordRow.y(), side, m_wordRow.height());
  ShowEmoji(PictureLb, m_picture, side - 8);
  const int left = PictureLb->isVisible() ? side : 0;
  WordLb->setGeometry(m_wordRow.x() + left, m_wordRow.y(), m_wordRow.width() - left,
                      m_wordRow.height());
}

void TVerseScreen::Tree1KeyDown(int key) {
  const QTreeWidgetItem* entry = SelectedEntry();
  if (Tree1->topLevelItemCount() == 0 || !entry) return;
  const int index = Tree1->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(entry));
  if (key == Qt::Key_Up && index > 0) ShowItem(Tree1->topLevelItem(index - 1)->text(0));
  if (key == Qt::Key_Down && index < Tree1->topLevelItemCount() - 1)
    ShowItem(Tree1->topLevelItem(index + 1)->text(0));
}

void TVerseScreen::XYSSBClick() { StepItem(+1); }

void TVerseScreen::SYSSBClick() { StepItem(-1); }

void TVerseScreen::StepItem(int delta) {
  QTreeWidgetItem* entry = SelectedEntry();
  if (!entry) {
    WarnNoSelection();
    return;
  }
  QTreeWidgetItem* target = Tree1->topLevelItem(Tree1->indexOfTopLevelItem(entry) + delta);
  if (!target) return;  // no wrap-around
  Tree1->setCurrentItem(target);
  ShowItem(target->text(0));
  // 下一句 and 上一句 say the sentence they move to.
  if (kind().id == LessonKindId::English) LDSBClick();
}

void TVerseScreen::WarnNoSelection() {
  platform::MessageBox(this, kind().noSelection, QStringLiteral("注意"),
                       platform::MB_OK | platform::MB_ICONWARNING);
}

void TVerseScreen::LDSBClick() {
  QTreeWidgetItem* entry = SelectedEntry();
  if (!entry) {
    WarnNoSelection();
    return;
  }
  if (!browser().LocateItem(entry->text(0))) return;
  const QString sound = dm->ALLQuery->Field(kSoundField);
  const QString item = entry->text(0);
  records::Note(kind().id, item);
  const int serial = ++m_readSerial;
  if (sound.trimmed().isEmpty()) {
    // No recording yet (the starter course ships none): made now, kept for the next time.
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString made = RecordFirstPlay(*dm->ALLQuery, kind(), &error);
    QGuiApplication::restoreOverrideCursor();
    if (!made.isEmpty()) {
      PlayRecording(item, made);
      return;
    }
    qCInfo(lcSound) << "no speech for" << item << error;
  }
  // A recording not fetched yet comes on a thread, so the screen stays live meanwhile; only the
  // latest item asked for plays when it arrives.
  if (recordings::NeedsFetch(dm->ConnectionName(), sound)) {
    recordings::FetchLater(dm->ConnectionName(), sound, this,
                           [this, serial, item](const QString& path) {
                             if (serial == m_readSerial) PlayRecording(item, path);
                           });
    return;
  }
  PlayRecording(item, recordings::LocalPath(dm->ConnectionName(), sound));
}

void TVerseScreen::PlayRecording(const QString& item, const QString& path) {
  CurrentSoundFile = path;
  // A library name still unresolved is a fetch that failed: the default sound says so.
  if (recordings::IsLibraryName(CurrentSoundFile) ||
      (!CurrentSoundFile.isEmpty() && QFileInfo(CurrentSoundFile).isFile())) {
    platform::PlaySound(CurrentSoundFile);
    if (Poem) {
      // The lines' times from the recording's own pauses: a teacher's recording is followed too.
      platform::Samples samples;
      int rate = 0;
      m_lineStarts.clear();
      if (platform::ReadWav(CurrentSoundFile, &samples, &rate) && rate > 0) {
        m_lineStarts = LineStarts(samples, rate, Poem->Syllables());
        m_readingSeconds = double(samples.size()) / rate;
      }
      m_reading.start();
      if (!m_lineStarts.isEmpty()) LineTimer->start();
      LightLine();
    }
  } else {
    qCInfo(lcSound) << "no recording for" << item << "at" << CurrentSoundFile;
    ShowNoSoundNotice();
  }
}

void TVerseScreen::ShowNoSoundNotice() {
  m_blinkCount = 0;
  ldshow->show();
  Timer4->start();  // asking again starts the blinking over
}

void TVerseScreen::Timer4Timer() {
  ldshow->setVisible(ldshow->isHidden());
  if (++m_blinkCount >= kBlinkTicks) {
    ldshow->hide();
    Timer4->stop();
  }
}

void TVerseScreen::LightLine() {
  const double now = double(m_reading.elapsed()) / 1000;
  if (m_lineStarts.isEmpty() || now > m_readingSeconds) {
    LineTimer->stop();
    Poem->SetLitLine(-1);
    return;
  }
  int line = -1;
  for (int i = 0; i < m_lineStarts.size(); ++i)
    if (now >= m_lineStarts[i]) line = i;
  Poem->SetLitLine(line);
}

void TVerseScreen::SayCharacter(const QString& character) {
  const QString connection = dm ? dm->ConnectionName() : QString();
  QVector<QVector<QVariant>> rows;
  QString error;
  // The character course's own recording first: the voice the child knows.
  if (!connection.isEmpty() &&
      platform::ExecQuery(connection, QStringLiteral("select 声音 from szSound where 字名 = ?"),
                          {character}, &rows, &error)) {
    for (const QVector<QVariant>& row : rows) {
      const QString sound = row.value(0).toString();
      if (sound.isEmpty() || recordings::NeedsFetch(connection, sound)) continue;
      const QString path = recordings::LocalPath(connection, sound);
      if (QFileInfo(path).isFile()) {
        platform::PlaySound(path);
        return;
      }
    }
  }
  // Else one spoken by the program, kept for the next touch.
  const QString folder =
      QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/spoken");
  const QString path = QDir(folder).filePath(
      QString::fromLatin1(QCryptographicHash::hash(character.toUtf8(), QCryptographicHash::Sha1)
                              .toHex()
                              .left(16)) +
      QStringLiteral(".wav"));
  if (!QFileInfo(path).isFile()) {
    platform::Samples samples;
    QDir().mkpath(folder);
    const ItemSpeech speech =
        SpeechFor(Kind(LessonKindId::Character), character, CharacterReadings(character).value(0));
    if (!Speak(speech, &samples, &error) ||
        !platform::SaveWav(samples, path, platform::Overwrite::Replace, &error)) {
      // The missing file plays the chime, as any missing recording does.
      qCInfo(lcSound) << "cannot say" << character << error;
    }
  }
  platform::PlaySound(path);
}
