// TszmainForm: the character lesson screen. A child browses the chapters and clicks a character
// to see it large and hear it (the pronunciation pop-up); the adult reaches the editors from here.
#pragma once

#include <QDateTime>
#include <QIcon>
#include <QLocale>
#include <QString>
#include <array>
#include <functional>

#include "lessons/lesson_screen.h"
#include "shell/design_form.h"

class QComboBox;
class TLabel3D;
class QLabel;
class QListWidget;
class QStatusBar;
class QTimer;
class QToolButton;
class Tsendsongform;

class TszmainForm : public TDesignForm, public LessonScreen {
  Q_OBJECT
 public:
  explicit TszmainForm(QWidget* owner);

  // Refills the chapter selector, selects the first chapter and lists it. The editors call this
  // when they are left, so that their changes show at once.
  void LoadChapters() override;
  void LoadChapterItems();
  void UpdateStatusBar();

  // How the pop-up is shown once filled in: modally by default; tests replace it.
  using PopupShower = std::function<void(Tsendsongform* popup)>;
  void SetPopupShower(PopupShower shower);

  // Text of status-bar panel 0, 1 or 2.
  QString PanelText(int index) const;

  TLabel3D* Label3D7;
  QToolButton* HELPSB;
  QToolButton* zjsb;
  QToolButton* zsb;
  QToolButton* UpSb;
  QToolButton* DownSb;
  QComboBox* CB1;
  QToolButton* QuitSb;
  QListWidget* ListView1;
  QStatusBar* Sb1;
  QTimer* Timer1;

  // Handlers, public so that tests drive them as a click would.
  void HELPSBClick();
  void zjsbClick();
  void zsbClick();
  void UpSbClick();
  void DownSbClick();
  void QuitSbClick();
  void CB1Change();
  void ListView1Click();
  void Timer1Timer();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildTopBar();
  void BuildList();
  void BuildStatusBar();

  std::array<QLabel*, 3> m_panels{};
  QWidget* m_topBar = nullptr;
  PopupShower m_showPopup;
  QIcon m_speaker;  // the one picture every list entry shares
};
