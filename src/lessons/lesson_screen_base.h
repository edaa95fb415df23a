// SPDX-License-Identifier: GPL-3.0-or-later
// What the character, poem and English screens have in common: the frame (top bar, chapter
// selector, status bar and its clock), browsing the chapters, opening the help window and the
// editors, and the way back. A screen adds its own body between the bars.
#pragma once

#include "app/design_form.h"
#include "lessons/lesson_browser.h"
#include "lessons/lesson_frame.h"
#include "lessons/lesson_screen.h"

class QLabel;
class QTimer;
class BusyCursor;

// The top bar's controls are the screen's own, under their given names (Label3D7, HELPSB, CB1,
// ...).
class TLessonScreen : public TDesignForm, public LessonScreen, public LessonTopBar {
  Q_OBJECT
 public:
  TLessonScreen(QWidget* owner, const LessonKind& kind);

  const LessonKind& kind() const { return m_browser.kind(); }

  // Refills the chapter selector and shows the first chapter; the editors of this kind run it
  // when they are left, so that their changes show at once.
  void LoadChapters() override;
  // Lists the items of the chapter chosen in the selector.
  void LoadChapterItems();
  void UpdateStatusBar();
  // Status-bar panel text (0 the maker, 1 the chapter, 2 the clock).
  QString StatusText(int panel) const { return m_statusBar->Text(panel); }

  // Event handlers, public so that tests drive them as a click would.
  void FormCreate();
  void FormShow();
  void Timer1Timer();
  void CB1Change();
  void UpSbClick();
  void DownSbClick();
  void zjsbClick();
  void zsbClick();
  void HELPSBClick();
  void QuitSbClick();

  QTimer* Timer1;
  // Under the editors' buttons while editing is off: why (a seat: "这台电脑只能学习，不能修改课程").
  QLabel* EditingLb;

 protected:
  const LessonBrowser& browser() const { return m_browser; }
  // Shows the items the browser holds now; `loaded` is false after a failed query (the fault is
  // reported by the caller).
  virtual void ShowChapterItems(bool loaded) = 0;
  // Places the screen's own part in the room between the bars.
  virtual void PlaceBody(const QRect& body) = 0;
  // Lays out bars and body for the current size; screens call it once their body is built.
  void PlaceFrame();

  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void StepChapter(int delta);
  void ShowLoaded(BusyCursor& busy);
  void OpenWindow(const QString& className);

  LessonBrowser m_browser;
  TLessonStatusBar* m_statusBar;
};
