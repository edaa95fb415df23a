// SPDX-License-Identifier: GPL-3.0-or-later
// TszmainForm: the character lesson screen. A child browses the chapters and clicks a character
// to see it large and hear it (the pronunciation pop-up); the adult reaches the editors from here.
#pragma once

#include <QIcon>
#include <functional>

#include "lessons/lesson_screen_base.h"

class QListWidget;
class Tsendsongform;

class TszmainForm : public TLessonScreen {
  Q_OBJECT
 public:
  explicit TszmainForm(QWidget* owner);

  // How the pop-up is shown once filled in: modally by default; tests replace it.
  using PopupShower = std::function<void(Tsendsongform* popup)>;
  void SetPopupShower(PopupShower shower);

  QListWidget* ListView1;

  void ListView1Click();

 protected:
  void ShowChapterItems(bool loaded) override;
  void PlaceBody(const QRect& body) override;

 private:
  // Caption size and grid for the entries shown and the body's size.
  void FitGrid();

  PopupShower m_showPopup;
  QIcon m_speaker;  // the one picture every list entry shares
};
