#include "lessons/character_screen.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/label_3d.h"
#include "lessons/lesson_clock.h"
#include "lessons/lesson_queries.h"
#include "lessons/pronunciation_popup.h"
#include "platform/clock.h"
#include "platform/sound.h"
#include "shell/data_module.h"
#include "shell/lesson_kinds.h"
#include "shell/screen_registry.h"
#include "shell/shared_routines.h"
#include "shell/speed_button.h"

namespace {

constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 578;
constexpr int kTopBarHeight = 64;
const QString kSoundField = QStringLiteral("声音");

const LessonKind& Characters() { return Kind(LessonKindId::Character); }

QToolButton* MakeButton(QWidget* parent, const QRect& geometry, const QString& caption,
                        const QString& hint, const QIcon& icon) {
  QToolButton* b = MakeSpeedButton(parent, caption, icon, geometry);
  b->setToolTip(hint);
  b->setFont(SongFont(12, true));
  return b;
}

QIcon Picture(const char* name) { return QIcon(QStringLiteral(":/images/") + QLatin1String(name)); }

QIcon TwoStatePicture(const char* normal, const char* disabled) {
  QIcon icon = Picture(normal);
  icon.addFile(QStringLiteral(":/images/") + QLatin1String(disabled), QSize(16, 16),
               QIcon::Disabled);
  return icon;
}

}  // namespace

TszmainForm::TszmainForm(QWidget* owner) : TDesignForm(owner, kDesignWidth, kDesignHeight) {
  setWindowTitle(Characters().screenCaption);
  setFont(SongFont(12));
  m_showPopup = [](Tsendsongform* popup) { ExecModal(popup); };
  m_speaker = Picture("charscreen_speaker.png");

  auto* column = new QVBoxLayout(designArea());
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  BuildTopBar();
  BuildList();
  BuildStatusBar();
  column->addWidget(m_topBar);
  column->addWidget(ListView1, 1);
  column->addWidget(Sb1);

  UpdateStatusBar();
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TszmainForm::Timer1Timer);
  Timer1->start();
}

void TszmainForm::BuildTopBar() {
  m_topBar = new QWidget(designArea());
  m_topBar->setFixedHeight(kTopBarHeight);
  m_topBar->setAutoFillBackground(true);
  QLinearGradient sky(0, 0, 0, 1);
  sky.setCoordinateMode(QGradient::ObjectBoundingMode);
  sky.setColorAt(0, QColor(236, 248, 255));
  sky.setColorAt(0.55, QColor(200, 232, 252));
  sky.setColorAt(1, QColor(150, 200, 240));
  QPalette barPalette = m_topBar->palette();
  barPalette.setBrush(QPalette::Window, QBrush(sky));
  m_topBar->setPalette(barPalette);

  Label3D7 = new TLabel3D(Characters().screenTitle, m_topBar);
  Label3D7->setFont(SongFont(24, true));
  Label3D7->setFontColor(RGBColor(0, 0, 255));
  Label3D7->setBevel(bvLowered);
  Label3D7->setTransparent(true);
  Label3D7->move(16, 21);

  HELPSB = MakeButton(m_topBar, {162, 13, 61, 40}, QStringLiteral("使用方法"), {},
                      Picture("charscreen_help.png"));
  zjsb = MakeButton(m_topBar, {266, 13, 61, 40}, QStringLiteral("编辑章节"), {},
                    Picture("charscreen_chapters.png"));
  zsb = MakeButton(m_topBar, {327, 13, 61, 40}, Characters().itemEditorButton, {},
                   Picture("charscreen_characters.png"));
  UpSb = MakeButton(m_topBar, {457, 13, 51, 40}, QStringLiteral("上一章节"),
                    QStringLiteral("查看上一章节"),
                    TwoStatePicture("charscreen_previous.png", "charscreen_previous_disabled.png"));
  DownSb = MakeButton(m_topBar, {508, 13, 51, 40}, QStringLiteral("下一章节"),
                      QStringLiteral("查看下一章节"),
                      TwoStatePicture("charscreen_next.png", "charscreen_next_disabled.png"));
  QuitSb = MakeButton(m_topBar, {714, 10, 67, 40}, QStringLiteral("返回→"),
                      QStringLiteral("返回主界面"), Picture("charscreen_quit.png"));

  CB1 = new QComboBox(m_topBar);
  CB1->setEditable(false);
  CB1->move(565, 16);
  CB1->resize(105, CB1->sizeHint().height());
  CB1->setFont(SongFont(12));
  QPalette golden = CB1->palette();
  golden.setColor(QPalette::Button, QColor(255, 210, 83));
  golden.setColor(QPalette::Base, QColor(255, 210, 83));
  CB1->setPalette(golden);

  connect(HELPSB, &QToolButton::clicked, this, &TszmainForm::HELPSBClick);
  connect(zjsb, &QToolButton::clicked, this, &TszmainForm::zjsbClick);
  connect(zsb, &QToolButton::clicked, this, &TszmainForm::zsbClick);
  connect(UpSb, &QToolButton::clicked, this, &TszmainForm::UpSbClick);
  connect(DownSb, &QToolButton::clicked, this, &TszmainForm::DownSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &TszmainForm::QuitSbClick);
  // Only a choice by the user; selecting an entry from code reloads explicitly.
  connect(CB1, &QComboBox::activated, this, &TszmainForm::CB1Change);
}

void TszmainForm::BuildList() {
  ListView1 = new QListWidget(designArea());
  ListView1->setViewMode(QListView::IconMode);
  ListView1->setMovement(QListView::Static);
  ListView1->setResizeMode(QListView::Adjust);
  ListView1->setWrapping(true);
  ListView1->setUniformItemSizes(true);
  ListView1->setDragEnabled(false);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setFrameShape(QFrame::NoFrame);
  ListView1->setIconSize(QSize(50, 50));
  ListView1->setFont(SongFont(56, true));
  ListView1->setToolTip(QStringLiteral("请点击字进行发音学字"));
  // Room for a two-character word under the loudspeaker.
  const QFontMetrics metrics(ListView1->font());
  ListView1->setGridSize(
      QSize(metrics.horizontalAdvance(QStringLiteral("字字")) + 16, 50 + metrics.height() + 12));
  QPalette field = ListView1->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    // The same colours in both groups keep the selection visible when the list loses focus.
    field.setColor(group, QPalette::Base, Qt::black);
    field.setColor(group, QPalette::Text, QColor(255, 0, 0));
    field.setColor(group, QPalette::Highlight, QColor(40, 60, 150));
    field.setColor(group, QPalette::HighlightedText, QColor(255, 230, 60));
  }
  ListView1->setPalette(field);
  connect(ListView1, &QListWidget::itemClicked, this, &TszmainForm::ListView1Click);
}

void TszmainForm::BuildStatusBar() {
  Sb1 = new QStatusBar(designArea());
  Sb1->setSizeGripEnabled(false);
  Sb1->setFont(SongFont(12));
  Sb1->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
  const int widths[] = {200, 250, 200};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(Sb1);
    panel->setFrameStyle(QFrame::Panel | (i == 0 ? QFrame::Raised : QFrame::Sunken));
    // The last panel reaches to the bar's end, so the clock is never cut off.
    if (i < 2) {
      panel->setFixedWidth(widths[i]);
      Sb1->addWidget(panel);
    } else {
      panel->setMinimumWidth(widths[i]);
      Sb1->addWidget(panel, 1);
    }
    m_panels[static_cast<size_t>(i)] = panel;
  }
  m_panels[0]->setText(QStringLiteral("Quorvex"));
}

void TszmainForm::SetPopupShower(PopupShower shower) { m_showPopup = std::move(shower); }

QString TszmainForm::PanelText(int index) const {
  return m_panels.at(static_cast<size_t>(index))->text();
}

void TszmainForm::LoadChapters() {
  CB1->clear();
  QStringList names;
  if (!LoadChapterNames(Characters(), &names)) {
    // The item query would only fail the same way and report it a second time.
    ListView1->clear();
    ReportError(dm->ALLQuery->LastError());
    return;
  }
  CB1->addItems(names);
  CB1->setCurrentIndex(CB1->count() > 0 ? 0 : -1);
  LoadChapterItems();
}

void TszmainForm::LoadChapterItems() {
  BusyCursor busy;
  platform::Dataset* q = dm->ALLQuery;
  const bool opened = OpenChapterItems(Characters(), CB1->currentText());
  ListView1->clear();
  if (opened && !q->IsEmpty()) {
    const QString nameField = Characters().nameField;
    for (q->First(); !q->Eof(); q->Next())
      new QListWidgetItem(m_speaker, q->Field(nameField), ListView1);
  }
  busy.Release();
  if (!opened) ReportError(q->LastError());
}

void TszmainForm::UpdateStatusBar() {
  m_panels[1]->setText(LessonChapterText(CB1->currentText()));
  m_panels[2]->setText(LessonClockText(platform::CurrentClock().Now()));
}

void TszmainForm::HELPSBClick() { ShowScreen(QStringLiteral("TMYHLPForm"), this); }
void TszmainForm::zjsbClick() { ShowScreen(QStringLiteral("TZJFORM"), this); }
void TszmainForm::zsbClick() { ShowScreen(QStringLiteral("TSzsoundForm"), this); }

void TszmainForm::UpSbClick() {
  const int index = CB1->currentIndex();
  if (CB1->count() < 2 || index <= 0) return;
  CB1->setCurrentIndex(index - 1);
  LoadChapterItems();
}

void TszmainForm::DownSbClick() {
  const int index = CB1->currentIndex();
  if (CB1->count() < 2 || index == CB1->count() - 1) return;
  CB1->setCurrentIndex(index + 1);
  LoadChapterItems();
}

void TszmainForm::QuitSbClick() {
  platform::PlaySound(QString());
  close();
}

void TszmainForm::CB1Change() { LoadChapterItems(); }

void TszmainForm::ListView1Click() {
  const QList<QListWidgetItem*> selected = ListView1->selectedItems();
  if (ListView1->count() == 0 || selected.isEmpty()) return;
  const QString caption = selected.first()->text();
  platform::Dataset* q = dm->ALLQuery;
  const LessonKind& kind = Characters();
  // Found by name, ignoring letter case, as the other lesson screens and the editors do (the
  // editors refuse two names in a chapter that differ only in case).
  if (!q->Locate(kind.nameField, caption, true)) return;

  CurrentSoundFile = q->Field(kSoundField);
  auto* popup = new Tsendsongform(this);
  popup->ZILB->setText(q->Field(kind.nameField));
  popup->FYLB->setText(QStringLiteral("发音+词组: ") + q->Field(kind.textField));
  m_showPopup(popup);
}

void TszmainForm::Timer1Timer() { UpdateStatusBar(); }

void TszmainForm::showEvent(QShowEvent* event) {
  TDesignForm::showEvent(event);
  if (!event->spontaneous()) LoadChapters();
}

void TszmainForm::resizeEvent(QResizeEvent* event) {
  // Unlike the fixed-layout screens, this one stretches: the list uses the whole window.
  designArea()->setFixedSize(size());
  TDesignForm::resizeEvent(event);
  // The way back stays in the top right corner, where the design puts it.
  QuitSb->move(width() - (kDesignWidth - 714), QuitSb->y());
}

void TszmainForm::keyPressEvent(QKeyEvent* event) {
  // Escape must not drop a child out of the lesson; "返回→" is the way back.
  if (event->key() == Qt::Key_Escape) return;
  TDesignForm::keyPressEvent(event);
}
