// SPDX-License-Identifier: GPL-3.0-or-later
// The About window: the maker, the product, the maker's web site and the data it is built from.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class TFlatSpeedButton;

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* owner);

  QWidget* Panel1;
  QLabel* Label1;
  QFrame* Bevel1;
  QLabel* Label2;
  QLabel* Image3;
  QLabel* Label3;
  QWidget* Panel2;
  QLabel* Image1;
  QLabel* Image2;
  QLabel* CreditsLb;  // whose data the starter course and the pinyin proposals are made from
  TFlatSpeedButton* NextSb;

  void Label3Click();
  void NextSbClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};
