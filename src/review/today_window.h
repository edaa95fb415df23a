// SPDX-License-Identifier: GPL-3.0-or-later
// "今天的学习": the chosen child's path of today as a row of big pictures, done in order with one
// button; each finished step gets its tick, and the whole path a summary and a sticker. The new
// characters and the poem line are shown here; the game and the writing open their own screens
// on the path's characters.
#pragma once

#include <QDate>
#include <QList>
#include <functional>

#include "app/design_form.h"
#include "review/today_path.h"

class QLabel;
class TFlatSpeedButton;

namespace review {
// Reads what the path needs for `child` from the lesson database.
bool LoadPathInput(const QString& connection, int child, int today, PathCourse* course,
                   PathChild* pathChild, QString* error);
}  // namespace review

// One step's picture: its drawing, its name, a tick when done; the step due now stands out.
class TStepPicture : public QWidget {
  Q_OBJECT
 public:
  enum class State { Waiting, Now, Done };
  TStepPicture(QWidget* parent, review::StepKind kind);
  void SetState(State state);
  State CurrentState() const { return m_state; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  review::StepKind m_kind;
  State m_state = State::Waiting;
};

class TTodayForm : public TDesignForm {
  Q_OBJECT
 public:
  explicit TTodayForm(QWidget* owner);

  const QList<review::PathStep>& Steps() const { return m_steps; }
  int CurrentStep() const { return m_current; }

  QLabel* TitleLb;
  QLabel* ChildLb;
  QLabel* ChildPictureLb;
  QList<TStepPicture*> Pictures;
  QWidget* StagePanel;  // the new characters or the poem line, shown here
  QLabel* StageLb;      // the character or the line, big
  QLabel* StageNoteLb;
  QLabel* NoticeLb;     // nothing to do, or the database failed
  TFlatSpeedButton* GoSb;  // the one button: 开始 / 下一个 / 做完了
  TFlatSpeedButton* BackSb;
  QWidget* SummaryPanel;
  QLabel* SummaryLb;
  QLabel* StickerLb;

  // Runs the step due now (the button); a step that opens a screen is done when its screen says so.
  void GoSbClick();
  // Marks the step due now as done and moves on; the last one ends the path.
  void StepDone();

  // Tests: the screens a step opens, by what they are to do (kind, items); true = finished.
  using StepRunner = std::function<bool(const review::PathStep& step)>;
  static void SetStepRunner(StepRunner runner);

 private:
  void Load();
  void ShowStep();
  void ShowStageItem();
  void Finish();
  bool RunScreenStep(const review::PathStep& step);
  QString ProgressKey() const;  // where the steps done today are kept, per child and day

  QList<review::PathStep> m_steps;
  int m_current = 0;
  int m_stageItem = -1;  // in a step shown here: the item on show
  int m_child = 0;
  int m_today = 0;
};

// "贴纸册": the chosen child's stickers, one for each finished path, with the day it was earned.
class TStickerAlbumForm : public TDesignForm {
  Q_OBJECT
 public:
  explicit TStickerAlbumForm(QWidget* owner);
  QLabel* TitleLb;
  QLabel* EmptyLb;   // none yet, or the database failed
  QList<QLabel*> Stickers;  // each sticker's picture, its tooltip the day
  TFlatSpeedButton* BackSb;
};
