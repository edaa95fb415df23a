// SPDX-License-Identifier: GPL-3.0-or-later
// TYSMAINForm: the arithmetic drill — additions and subtractions up to ten, read out aloud,
// answered with ten number buttons and scored in series of five.
#pragma once

#include <array>

#include "app/design_form.h"
#include "arithmetic/exercise.h"

class QLabel;
class QRadioButton;
class QTimer;
class QToolButton;
class TFlatSpeedButton;
class TLabel3D;

class TYSMAINForm : public TDesignForm {
  Q_OBJECT
 public:
  explicit TYSMAINForm(QWidget* owner);
  ~TYSMAINForm() override;

  // Controls, under their design names so that tests can drive the screen as a child would.
  QWidget* TopBar;
  TLabel3D* Label3D7;
  QToolButton* HELPSB;
  QToolButton* QuitSb;
  QWidget* mianpl;
  QLabel* Label1;
  QLabel* pl0;
  QLabel* PL1;
  QLabel* PL2;
  QLabel* PL3;
  QLabel* PL4;
  QLabel* fENSHULB;
  TFlatSpeedButton* STARTSB;
  QRadioButton* ADDRB;
  QRadioButton* DELRB;
  QLabel* FIRSTLB;
  QLabel* fhlb;
  QLabel* SECONDLB;
  QLabel* Label4;
  QLabel* ANSWERLB;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label5;
  std::array<TFlatSpeedButton*, 10> SB;  // SB[0] is SB1 (answer 1) … SB[9] is SB10
  TFlatSpeedButton* SHOWSB;
  TFlatSpeedButton* NEXTsb;
  QTimer* Timer2;  // reads out an addition
  QTimer* Timer3;  // reads out a subtraction

  // Result boxes pl0, PL1 … PL4 by position.
  QLabel* ResultBox(int i) const { return m_resultBoxes[i]; }
  const drill::DrillState& State() const { return m_state; }

  void STARTSBClick();
  void ADDRBClick();
  void DELRBClick();
  // SB1Click … SB10Click: the pressed button's number.
  void SBClick(int number);
  void SHOWSBClick();
  void NEXTsbClick();
  void Timer2Timer();
  void Timer3Timer();
  void HELPSBClick();
  void QuitSbClick();

  void StartSeries(drill::Operation op);
  void MakeAddition();
  void MakeSubtraction();
  void JudgeAnswer(drill::JudgeMode mode);
  void RecordResult(const QString& mark);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildTopBar();
  void BuildMainPanel();
  void ShowExercise(const drill::Exercise& exercise);
  void ReadOut(drill::Operation op);
  bool Awaiting() const;
  void NoteGivenUpSeries();

  drill::DrillState m_state;
  std::array<QLabel*, drill::kSeriesLength> m_resultBoxes{};
};
