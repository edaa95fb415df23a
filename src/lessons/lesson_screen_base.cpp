// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/lesson_screen_base.h"

#include <QCloseEvent>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include "app/parent_gate.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "lessons/lesson_queries.h"
#include "platform/sound.h"

namespace {
void StopSound() { platform::PlaySound(QString()); }
}  // namespace

TLessonScreen::TLessonScreen(QWidget* owner, const LessonKind& kind)
    : TDesignForm(owner, frame::kDesignWidth, kind.screenHeight), m_browser(kind) {
  setWindowTitle(kind.screenCaption);
  setFont(SongFont(12));

  static_cast<LessonTopBar&>(*this) = BuildLessonTopBar(designArea(), kind);
  m_statusBar = new TLessonStatusBar(designArea());

  connect(HELPSB, &QToolButton::clicked, this, &TLessonScreen::HELPSBClick);
  connect(zjsb, &QToolButton::clicked, this, &TLessonScreen::zjsbClick);
  connect(zsb, &QToolButton::clicked, this, &TLessonScreen::zsbClick);
  connect(UpSb, &QToolButton::clicked, this, &TLessonScreen::UpSbClick);
  connect(DownSb, &QToolButton::clicked, this, &TLessonScreen::DownSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &TLessonScreen::QuitSbClick);
  // Only the child's own choice reloads; filling the selector does not.
  connect(CB1, &QComboBox::activated, this, &TLessonScreen::CB1Change);

  EditingLb = new QLabel(bar);
  EditingLb->setObjectName(QStringLiteral("EditingLb"));
  EditingLb->setFont(SongFont(10, true));
  EditingLb->setStyleSheet(QStringLiteral("color: rgb(170, 40, 0);"));
  EditingLb->setAlignment(Qt::AlignCenter);
  EditingLb->setGeometry(zjsb->x() - 30, zjsb->geometry().bottom() + 1,
                         zsb->geometry().right() - zjsb->x() + 60, 12);
  const auto showEditing = [this] {
    const QString reason = dm ? dm->EditingOffReason() : QString();
    // The seat's reason up to its first full stop; any other: editing is off.
    EditingLb->setText(reason.isEmpty()                                 ? QString()
                       : reason.startsWith(QStringLiteral("这台电脑只能学习")) ? reason.section(u'。', 0, 0)
                                                                         : QStringLiteral("编辑已关闭"));
    EditingLb->setToolTip(reason);
    EditingLb->setVisible(!reason.isEmpty() && !zjsb->isHidden());
  };
  showEditing();
  if (dm) connect(dm, &Tdm::EditingOffChanged, EditingLb, showEditing);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TLessonScreen::Timer1Timer);
  FormCreate();
}

void TLessonScreen::FormCreate() {
  UpdateStatusBar();
  Timer1->start();
}

void TLessonScreen::FormShow() { LoadChapters(); }

void TLessonScreen::showEvent(QShowEvent* event) {
  TDesignForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TLessonScreen::resizeEvent(QResizeEvent* event) {
  // The screen fills the window: a larger window stretches the bars and the body, a smaller one
  // keeps the design size.
  designArea()->setFixedSize(
      event->size().expandedTo(QSize(frame::kDesignWidth, kind().screenHeight)));
  TDesignForm::resizeEvent(event);
  PlaceFrame();
}

void TLessonScreen::PlaceFrame() {
  const QSize size = designArea()->size();
  bar->setGeometry(0, 0, size.width(), frame::kTopBarHeight);
  KeepQuitInCorner(QuitSb, size.width());
  m_statusBar->setGeometry(0, size.height() - frame::kStatusBarHeight, size.width(),
                           frame::kStatusBarHeight);
  PlaceBody(QRect(0, frame::kTopBarHeight, size.width(),
                  size.height() - frame::kTopBarHeight - frame::kStatusBarHeight));
}

void TLessonScreen::closeEvent(QCloseEvent* event) {
  // FormClose: the window frees itself.
  setAttribute(Qt::WA_DeleteOnClose);
  TDesignForm::closeEvent(event);
}

void TLessonScreen::Timer1Timer() { UpdateStatusBar(); }

void TLessonScreen::UpdateStatusBar() { m_statusBar->Update(CB1->currentText()); }

void TLessonScreen::LoadChapters() {
  StopSound();
  const bool listed = m_browser.LoadChapterList();
  CB1->SetChapters(m_browser.Chapters(), m_browser.ChapterIndex());
  // The hourglass is for the list of items; a failed chapter query is reported once.
  BusyCursor busy;
  if (listed) m_browser.LoadChapterItems();
  ShowLoaded(busy);
}

void TLessonScreen::LoadChapterItems() {
  BusyCursor busy;
  m_browser.ChooseChapter(CB1->currentIndex());
  ShowLoaded(busy);
}

void TLessonScreen::ShowLoaded(BusyCursor& busy) {
  const bool loaded = m_browser.Error().isEmpty();
  ShowChapterItems(loaded);
  busy.Release();
  if (!loaded) ReportError(m_browser.Error());
}

void TLessonScreen::CB1Change() { LoadChapterItems(); }
void TLessonScreen::UpSbClick() { StepChapter(-1); }
void TLessonScreen::DownSbClick() { StepChapter(+1); }

void TLessonScreen::StepChapter(int delta) {
  BusyCursor busy;
  if (!(delta < 0 ? m_browser.PreviousChapter() : m_browser.NextChapter())) return;
  CB1->setCurrentIndex(m_browser.ChapterIndex());
  ShowLoaded(busy);
}

void TLessonScreen::OpenWindow(const QString& className) {
  StopSound();
  ShowScreen(className, this);
}

// The editors are the adult's: editing may be off for this seat, and once a child has a
// profile they sit behind the parent gate.
void TLessonScreen::zjsbClick() {
  if (!RefuseEditing(this) && PassParentGate(this)) OpenWindow(kind().chapterListWindow);
}
void TLessonScreen::zsbClick() {
  if (!RefuseEditing(this) && PassParentGate(this)) OpenWindow(kind().itemListWindow);
}
void TLessonScreen::HELPSBClick() { OpenWindow(kind().helpWindow); }

void TLessonScreen::QuitSbClick() {
  StopSound();
  close();
}
