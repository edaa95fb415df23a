#include "lessons/verse_screen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "controls/label_3d.h"
#include "lessons/lesson_clock.h"
#include "lessons/lesson_queries.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/sound.h"
#include "records/recorder.h"
#include "shell/data_module.h"
#include "shell/screen_registry.h"
#include "shell/shared_routines.h"
#include "shell/speed_button.h"

namespace {

constexpr int kDesignWidth = 800;
constexpr int kTopBarHeight = 64;
constexpr int kStatusBarHeight = 20;
constexpr int kButtonColumnWidth = 104;
// The body sits inside a 2-pixel frame: list panel + button column + text panel = 796.
constexpr int kBodyMargin = 2;
constexpr int kBlinkTicks = 7;
// A little air between the names, for small fingers on the mouse.
constexpr int kEntryHeight = 24;

const QColor kSkyTop(250, 253, 255);
const QColor kSkyBottom(186, 218, 250);
const QColor kFrameColour(150, 190, 230);
const QColor kStatusColour(236, 236, 236);

const QString kChapterField = QStringLiteral("章节");
const QString kSoundField = QStringLiteral("声音");

TVerseScreen* g_openScreens[3] = {nullptr, nullptr, nullptr};

TVerseScreen*& OpenSlot(LessonKindId kind) { return g_openScreens[static_cast<int>(kind)]; }

void StopSound() { platform::PlaySound(QString()); }

QIcon Picture(const QString& name) { return QIcon(QStringLiteral(":/images/") + name); }

void FillBackground(QWidget* w, const QBrush& brush) {
  QPalette pal = w->palette();
  pal.setBrush(QPalette::Window, brush);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

// The top bar's flat buttons: picture above caption, no keyboard focus (the list keeps it).
QToolButton* TopButton(QWidget* parent, const QString& text, const QIcon& icon, const QRect& at) {
  return MakeSpeedButton(parent, text, icon, at);
}

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

TVerseScreen::TVerseScreen(QWidget* owner, LessonKindId kind)
    : TDesignForm(owner, kDesignWidth, Kind(kind).screenHeight), m_kind(Kind(kind)) {
  setWindowTitle(m_kind.screenCaption);
  setFont(SongFont(12));

  m_topBar = new QWidget(designArea());
  m_topBar->setObjectName(QStringLiteral("topBar"));
  BuildTopBar(m_topBar);
  m_body = new QWidget(designArea());
  BuildBody(m_body);
  m_statusBar = new QWidget(designArea());
  m_statusBar->setObjectName(QStringLiteral("statusBar"));
  BuildStatusBar(m_statusBar);
  PlacePanels(designArea()->size());

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TVerseScreen::Timer1Timer);
  Timer4 = new QTimer(this);
  Timer4->setInterval(400);
  connect(Timer4, &QTimer::timeout, this, &TVerseScreen::Timer4Timer);

  OpenSlot(m_kind.id) = this;
  FormCreate();
}

TVerseScreen::~TVerseScreen() {
  // FormDestroy: the list managers must not reach a screen that is gone.
  if (OpenSlot(m_kind.id) == this) OpenSlot(m_kind.id) = nullptr;
}

void TVerseScreen::BuildTopBar(QWidget* bar) {
  QLinearGradient sky(0, 0, 0, kTopBarHeight);
  sky.setColorAt(0, kSkyTop);
  sky.setColorAt(1, kSkyBottom);
  FillBackground(bar, sky);

  Label3D7 = new TLabel3D(m_kind.screenTitle, bar);
  Label3D7->setFont(SongFont(24, true));
  Label3D7->setFontColor(RGBColor(0, 0, 255));
  Label3D7->setBevel(bvLowered);
  Label3D7->setTransparent(true);
  Label3D7->setAutoSize(false);
  // The CJK fonts standing in for 宋体 need a taller line than the design's.
  Label3D7->setGeometry(16, 21, m_kind.titleWidth, Label3D7->fontMetrics().height());

  HELPSB = TopButton(bar, QStringLiteral("使用方法"), Picture(QStringLiteral("verse_help.png")),
                     QRect(m_kind.helpButtonLeft, 13, 61, 40));
  zjsb = TopButton(bar, QStringLiteral("编辑章节"), Picture(QStringLiteral("verse_chapters.png")),
                   QRect(m_kind.chapterButtonLeft, 13, 61, 40));
  zsb = TopButton(bar, m_kind.itemEditorButton, Picture(QStringLiteral("verse_items.png")),
                  QRect(m_kind.itemButtonLeft, 13, 61, 40));

  QIcon up = Picture(QStringLiteral("verse_up.png"));
  up.addFile(QStringLiteral(":/images/verse_up_off.png"), QSize(), QIcon::Disabled);
  UpSb = TopButton(bar, QStringLiteral("上一章节"), up, QRect(457, 13, 51, 40));
  UpSb->setToolTip(QStringLiteral("查看上一章节"));
  QIcon down = Picture(QStringLiteral("verse_down.png"));
  down.addFile(QStringLiteral(":/images/verse_down_off.png"), QSize(), QIcon::Disabled);
  DownSb = TopButton(bar, QStringLiteral("下一章节"), down, QRect(508, 13, 51, 40));
  DownSb->setToolTip(QStringLiteral("查看下一章节"));

  CB1 = new QComboBox(bar);
  CB1->setEditable(false);
  CB1->setFocusPolicy(Qt::NoFocus);
  CB1->setGeometry(565, 16, 105, 24);
  QPalette pal = CB1->palette();
  pal.setColor(QPalette::Button, QColor(255, 210, 83));
  pal.setColor(QPalette::Base, QColor(255, 210, 83));
  CB1->setPalette(pal);

  QuitSb = TopButton(bar, QStringLiteral("返回→"), Picture(QStringLiteral("verse_quit.png")),
                     QRect(714, 10, 67, 40));
  QuitSb->setToolTip(QStringLiteral("返回主界面"));

  connect(HELPSB, &QToolButton::clicked, this, &TVerseScreen::HELPSBClick);
  connect(zjsb, &QToolButton::clicked, this, &TVerseScreen::zjsbClick);
  connect(zsb, &QToolButton::clicked, this, &TVerseScreen::zsbClick);
  connect(UpSb, &QToolButton::clicked, this, &TVerseScreen::UpSbClick);
  connect(DownSb, &QToolButton::clicked, this, &TVerseScreen::DownSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &TVerseScreen::QuitSbClick);
  // Only the child's own choice reloads; filling the selector does not.
  connect(CB1, &QComboBox::activated, this, &TVerseScreen::CB1Change);
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
  Tree1->setToolTip(m_kind.listHint);
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
  XYSSB = ColumnButton(column, m_kind.nextCaption, Picture(QStringLiteral("verse_next.png")), 29);
  SYSSB = ColumnButton(column, m_kind.previousCaption,
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
  me1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  me1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pal = me1->palette();
  pal.setColor(QPalette::Base, QColor(155, 234, 179));
  pal.setColor(QPalette::Text, Qt::black);
  me1->setPalette(pal);
}

void TVerseScreen::BuildStatusBar(QWidget* bar) {
  FillBackground(bar, kStatusColour);
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(bar);
    panel->setFrameStyle(QFrame::Panel | (i == 0 ? QFrame::Raised : QFrame::Sunken));
    panel->setIndent(4);
    m_statusPanels << panel;
  }
  m_statusPanels[0]->setText(QStringLiteral("Quorvex"));
}

QString TVerseScreen::StatusText(int panel) const {
  return panel >= 0 && panel < m_statusPanels.size() ? m_statusPanels[panel]->text() : QString();
}

// --- lifecycle -----------------------------------------------------------------------------------

void TVerseScreen::FormCreate() {
  UpdateStatusBar();
  Timer1->start();
}

void TVerseScreen::FormShow() { LoadChapters(); }

void TVerseScreen::showEvent(QShowEvent* event) {
  TDesignForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TVerseScreen::resizeEvent(QResizeEvent* event) {
  // The screen fills the window: a larger window stretches the bars and the panels, a smaller one
  // keeps the design size.
  designArea()->setFixedSize(event->size().expandedTo(QSize(kDesignWidth, m_kind.screenHeight)));
  TDesignForm::resizeEvent(event);
  PlacePanels(designArea()->size());
}

void TVerseScreen::PlacePanels(const QSize& size) {
  const int w = size.width();
  m_topBar->setGeometry(0, 0, w, kTopBarHeight);
  // The way back stays in the top right corner, where the design puts it.
  QuitSb->move(w - (kDesignWidth - 714), QuitSb->y());

  const int bodyHeight = size.height() - kTopBarHeight - kStatusBarHeight;
  m_body->setGeometry(0, kTopBarHeight, w, bodyHeight);
  // The list and the buttons keep their widths; the text panel takes the rest, so long poems and
  // sentences wrap less.
  const int h = bodyHeight - 2 * kBodyMargin;
  int x = kBodyMargin;
  Tree1->setGeometry(x, kBodyMargin, m_kind.itemPanelWidth, h);
  x += m_kind.itemPanelWidth;
  m_column->setGeometry(x, kBodyMargin, kButtonColumnWidth, h);
  x += kButtonColumnWidth;
  me1->setGeometry(x, kBodyMargin, w - kBodyMargin - x, h);

  m_statusBar->setGeometry(0, size.height() - kStatusBarHeight, w, kStatusBarHeight);
  const int widths[] = {200, 250, w - 450};
  x = 0;
  for (int i = 0; i < 3; ++i) {
    m_statusPanels[i]->setGeometry(x, 0, widths[i], kStatusBarHeight);
    x += widths[i];
  }
}

void TVerseScreen::closeEvent(QCloseEvent* event) {
  // FormClose: the window frees itself.
  setAttribute(Qt::WA_DeleteOnClose);
  TDesignForm::closeEvent(event);
}

bool TVerseScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Tree1 && event->type() == QEvent::KeyPress)
    Tree1KeyDown(static_cast<QKeyEvent*>(event)->key());  // not consumed: the list moves on
  return TDesignForm::eventFilter(watched, event);
}

void TVerseScreen::keyPressEvent(QKeyEvent* event) {
  // Only "返回→" leaves the screen; Escape must not close it behind the child's back.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  TDesignForm::keyPressEvent(event);
}

void TVerseScreen::Timer1Timer() { UpdateStatusBar(); }

void TVerseScreen::UpdateStatusBar() {
  m_statusPanels[1]->setText(LessonChapterText(CB1->currentText()));
  m_statusPanels[2]->setText(LessonClockText(platform::CurrentClock().Now()));
}

// --- chapters ------------------------------------------------------------------------------------

void TVerseScreen::LoadChapters() {
  StopSound();
  CB1->clear();
  QStringList names;
  if (!LoadChapterNames(m_kind, &names)) {
    ReportError(dm->ALLQuery->LastError());
    return;
  }
  CB1->addItems(names);
  CB1->setCurrentIndex(CB1->count() > 0 ? 0 : -1);
  LoadChapterItems();
}

void TVerseScreen::LoadChapterItems() {
  BusyCursor busy;
  platform::Dataset* q = dm->ALLQuery;
  const bool opened = OpenChapterItems(m_kind, CB1->currentText());
  // Never leave the previous chapter's names listed under the newly chosen chapter.
  Tree1->clear();
  if (!opened) {
    busy.Release();
    ReportError(q->LastError());
    return;
  }
  if (q->IsEmpty()) return;  // the text panel keeps what it showed
  const QIcon picture(m_kind.itemPicture);
  for (q->First(); !q->Eof(); q->Next()) {
    auto* entry = new QTreeWidgetItem(Tree1, QStringList{q->Field(m_kind.nameField)});
    entry->setIcon(0, picture);
    entry->setSizeHint(0, QSize(0, kEntryHeight));
  }
  me1->clear();
  Tree1->setFocus();
  if (!SelectedEntry()) Tree1->setCurrentItem(Tree1->topLevelItem(0));
  Tree1Click();
}

void TVerseScreen::CB1Change() { LoadChapterItems(); }

void TVerseScreen::UpSbClick() { StepChapter(-1); }

void TVerseScreen::DownSbClick() { StepChapter(+1); }

void TVerseScreen::StepChapter(int delta) {
  const int count = CB1->count();
  const int index = CB1->currentIndex();
  if (count < 2) return;
  int target;
  if (delta < 0) {
    if (index <= 0) return;
    target = index - 1;
  } else {
    if (index == count - 1) return;
    target = index < 0 ? 0 : index + 1;
  }
  CB1->setCurrentIndex(target);
  LoadChapterItems();
}

// --- items ---------------------------------------------------------------------------------------

QTreeWidgetItem* TVerseScreen::SelectedEntry() const {
  QTreeWidgetItem* current = Tree1->currentItem();
  return current && current->isSelected() ? current : nullptr;
}

bool TVerseScreen::LocateItem(const QString& name) {
  return dm->ALLQuery->Locate(m_kind.nameField, name, true);
}

void TVerseScreen::Tree1Click() {
  if (QTreeWidgetItem* entry = SelectedEntry()) ShowItem(entry->text(0));
}

void TVerseScreen::ShowItem(const QString& name) {
  if (Tree1->topLevelItemCount() == 0 || !SelectedEntry()) return;
  if (LocateItem(name)) {
    platform::Dataset* q = dm->ALLQuery;
    if (q->FieldIndex(m_kind.textField) < 0)
      ReportError(QStringLiteral("找不到字段“%1”").arg(m_kind.textField));
    else if (q->FieldIsNull(m_kind.textField))
      ReportError(QStringLiteral("“%1”的%2没有内容").arg(name, m_kind.textField));
    else
      me1->setPlainText(q->Field(m_kind.textField));
  }
  // The previous item's recording must not run on under the new text.
  StopSound();
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
}

void TVerseScreen::WarnNoSelection() {
  platform::MessageBox(this, m_kind.noSelection, QStringLiteral("注意"),
                       platform::MB_OK | platform::MB_ICONWARNING);
}

void TVerseScreen::LDSBClick() {
  QTreeWidgetItem* entry = SelectedEntry();
  if (!entry) {
    WarnNoSelection();
    return;
  }
  if (!LocateItem(entry->text(0))) return;
  CurrentSoundFile = dm->ALLQuery->Field(kSoundField);
  records::Note(m_kind.id, entry->text(0));
  if (!CurrentSoundFile.isEmpty() && QFileInfo(CurrentSoundFile).isFile())
    platform::PlaySound(CurrentSoundFile);
  else
    ShowNoSoundNotice();
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

// --- other windows -------------------------------------------------------------------------------

void TVerseScreen::OpenWindow(const QString& className) {
  StopSound();
  ShowScreen(className, this);
}

void TVerseScreen::zjsbClick() { OpenWindow(m_kind.chapterListWindow); }

void TVerseScreen::zsbClick() { OpenWindow(m_kind.itemListWindow); }

void TVerseScreen::HELPSBClick() { OpenWindow(m_kind.helpWindow); }

void TVerseScreen::QuitSbClick() {
  StopSound();
  close();
}
