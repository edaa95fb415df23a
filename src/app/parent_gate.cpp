// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/parent_gate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/shared_routines.h"
#include "data/children.h"
#include "data/data_module.h"
#include "platform/dialogs.h"
#include "platform/random.h"

namespace {

QString ChineseNumber(int n) {
  static const char* const digits[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
  return n >= 0 && n <= 9 ? QString::fromUtf8(digits[n]) : QString::number(n);
}

QToolButton* GateButton(QWidget* parent, const QString& text) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setFont(SongFont(16, true));
  b->setMinimumSize(96, 38);
  b->setFocusPolicy(Qt::NoFocus);
  b->setStyleSheet(
      QStringLiteral("QToolButton { border: 1px solid rgb(200, 160, 60); border-radius: 8px;"
                     " background: rgb(255, 246, 214); color: rgb(120, 70, 0); padding: 2px 10px; }"
                     "QToolButton:hover { border-color: rgb(230, 120, 0); }"));
  return b;
}

}  // namespace

GateQuestion MakeGateQuestion(int a, int b) {
  return {QStringLiteral("%1乘以%2等于多少？").arg(ChineseNumber(a), ChineseNumber(b)), a * b};
}

TParentGateForm::TParentGateForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("家长验证"));
  platform::Random& random = platform::CurrentRandom();
  const int a = 3 + random.Below(7);
  const int b = 3 + random.Below(7);
  m_question = MakeGateQuestion(a, b);

  auto* hint = new QLabel(QStringLiteral("这里是给家长和老师用的。请回答："), this);
  hint->setFont(SongFont(14));
  QuestionLb = new QLabel(m_question.text, this);
  QuestionLb->setFont(SongFont(24, true));
  QuestionLb->setStyleSheet(QStringLiteral("color: rgb(0, 0, 160);"));
  AnswerEd = new QLineEdit(this);
  AnswerEd->setFont(SongFont(22, true));
  AnswerEd->setMaxLength(3);
  AnswerEd->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), AnswerEd));
  AnswerEd->setPlaceholderText(QStringLiteral("用数字回答"));
  OkSb = GateButton(this, QStringLiteral("确定"));
  CancelSb = GateButton(this, QStringLiteral("取消"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkSb);
  buttons->addWidget(CancelSb);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(24, 18, 24, 18);
  column->setSpacing(12);
  column->addWidget(hint);
  column->addWidget(QuestionLb);
  column->addWidget(AnswerEd);
  column->addLayout(buttons);
  setStyleSheet(QStringLiteral("TParentGateForm { background: rgb(255, 250, 235); }"));

  connect(OkSb, &QToolButton::clicked, this, &QDialog::accept);
  connect(AnswerEd, &QLineEdit::returnPressed, this, &QDialog::accept);
  connect(CancelSb, &QToolButton::clicked, this, &QDialog::reject);
  AnswerEd->setFocus();
}

bool TParentGateForm::Answered() const {
  bool ok = false;
  const int given = AnswerEd->text().toInt(&ok);
  return ok && given == m_question.answer;
}

bool PassParentGate(QWidget* owner) {
  if (!dm || !dm->Connected()) return true;
  const QString connection = dm->ConnectionName();
  QList<children::Child> all;
  QString error;
  // Unreadable profiles: the gate asks, on the safe side.
  if (children::LoadChildren(connection, &all, &error) && all.isEmpty()) return true;
  if (!children::ParentGateOn(connection)) return true;
  TParentGateForm gate(owner);
  if (gate.exec() != QDialog::Accepted) return false;
  if (gate.Answered()) return true;
  platform::MessageBox(owner, QStringLiteral("答得不对，这里是给家长和老师用的。"),
                       QStringLiteral("家长验证"), platform::MB_OK | platform::MB_ICONWARNING);
  return false;
}
