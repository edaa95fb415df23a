// The poem and English lesson screens: one design, driven by the lesson-kind profile. The chapter
// selector picks a chapter, the list on the left names its items, the panel on the right shows the
// chosen item's text, and "朗读" (or a double-click) plays its recording.
#pragma once

#include <QList>
#include <QString>

#include "lessons/lesson_screen.h"
#include "shell/design_form.h"
#include "shell/lesson_kinds.h"

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TLabel3D;

class TVerseScreen : public TDesignForm, public LessonScreen {
  Q_OBJECT
 public:
  TVerseScreen(QWidget* owner, LessonKindId kind);
  ~TVerseScreen() override;  // FormDestroy

  const LessonKind& kind() const { return m_kind; }

  // Refills the chapter selector and shows the first chapter; the list managers of this kind run
  // it when they return, so edits show at once.
  void LoadChapters() override;
  void LoadChapterItems();
  void ShowItem(const QString& name);
  void ShowNoSoundNotice();
  void UpdateStatusBar();

  // Event handlers.
  void FormCreate();
  void FormShow();
  void Timer1Timer();
  void CB1Change();
  void UpSbClick();
  void DownSbClick();
  void Tree1Click();
  void Tree1KeyDown(int key);
  void LDSBClick();
  void XYSSBClick();
  void SYSSBClick();
  void Timer4Timer();
  void zjsbClick();
  void zsbClick();
  void HELPSBClick();
  void QuitSbClick();

  // Status bar panel text (0 the maker, 1 the chapter, 2 the clock).
  QString StatusText(int panel) const;

  // Controls, under their given names.
  TLabel3D* Label3D7;
  QToolButton* HELPSB;
  QToolButton* zjsb;
  QToolButton* zsb;
  QToolButton* UpSb;
  QToolButton* DownSb;
  QComboBox* CB1;
  QToolButton* QuitSb;
  QTreeWidget* Tree1;
  QToolButton* XYSSB;
  QToolButton* SYSSB;
  QToolButton* LDSB;
  QLabel* ldshow;
  QPlainTextEdit* me1;
  QTimer* Timer1;
  QTimer* Timer4;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildTopBar(QWidget* bar);
  void BuildBody(QWidget* body);
  void BuildStatusBar(QWidget* bar);
  // Stretches the bars across the window and gives the body its height; at the design size
  // everything sits at its design place.
  void PlacePanels(const QSize& size);
  // The selected entry of Tree1, or nullptr; with an empty list there is none.
  QTreeWidgetItem* SelectedEntry() const;
  // Positions ALLQuery on the first row named `name` (letter case ignored).
  bool LocateItem(const QString& name);
  // The no-selection warning of reading aloud and of next/previous.
  void WarnNoSelection();
  void StepItem(int delta);
  void StepChapter(int delta);
  void OpenWindow(const QString& className);

  const LessonKind& m_kind;
  QWidget* m_topBar;
  QWidget* m_body;
  QFrame* m_column;
  QWidget* m_statusBar;
  QList<QLabel*> m_statusPanels;
  int m_blinkCount = 0;
};

// The screen of a kind that is open now, or nullptr: the list managers reach it through this.
TVerseScreen* OpenVerseScreen(LessonKindId kind);

// 幼儿学诗
class TxsmainForm : public TVerseScreen {
  Q_OBJECT
 public:
  explicit TxsmainForm(QWidget* owner) : TVerseScreen(owner, LessonKindId::Poem) {}
};

// 发音学英语
class TXYYMAINForm : public TVerseScreen {
  Q_OBJECT
 public:
  explicit TXYYMAINForm(QWidget* owner) : TVerseScreen(owner, LessonKindId::English) {}
};
