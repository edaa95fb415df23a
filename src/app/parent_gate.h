// SPDX-License-Identifier: GPL-3.0-or-later
// The parent gate: once a child's profile exists, the adult's buttons on the child's screens
// (editors, managing the children, clearing the record) first ask a sum a four-year-old cannot
// do: the product of two numbers written in Chinese words, typed as digits. One wrong answer
// closes it, so random taps never get through. It is switched off in the children's window.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QToolButton;

// The question for two factors ("七乘以八等于多少？") and its answer (56).
struct GateQuestion {
  QString text;
  int answer = 0;
};
GateQuestion MakeGateQuestion(int a, int b);

class TParentGateForm : public QDialog {
  Q_OBJECT
 public:
  // Draws the factors (3 to 9) from the random seam.
  explicit TParentGateForm(QWidget* owner);
  // True when the box holds the answer.
  bool Answered() const;

  QLabel* QuestionLb;
  QLineEdit* AnswerEd;
  QToolButton* OkSb;
  QToolButton* CancelSb;

 private:
  GateQuestion m_question;
};

// True when the adult may go on: no profile exists, the gate is switched off, or the question
// was answered. A wrong answer is told and gives false.
bool PassParentGate(QWidget* owner);
