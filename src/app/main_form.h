// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu: a full-screen window from which a child starts one of the five modules.
#pragma once

#include <QWidget>
#include <functional>

#include "app/maker_site.h"
#include "controls/label_3d.h"

class QLabel;
class QLineEdit;
class QToolButton;

// How many items the listening game has due today for a child; installed by the program once the
// lesson database is open (the menu knows nothing of reviews). It runs on a thread of its own, so
// a server that does not answer never holds up the menu: it must open its own connection.
using DueCounter = std::function<int(int child)>;
void SetDueCounter(DueCounter counter);

// The menu's background, white at the top to yellow at the bottom, drawn at whatever size the
// widget has. A gradient needs no picture to decode nor keep, and draws faster than one stretched.
class TMenuBackground : public QWidget {
  Q_OBJECT
 public:
  explicit TMenuBackground(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class TMainForm : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 800;
  static constexpr int kDesignHeight = 578;

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;  // clears MainForm

  // The editors' number check (see the free function of the same name).
  bool CheckIntegerEdit(QLineEdit* edit);

  // The fixed-size area, centred in the window, on which the controls sit.
  QWidget* designArea() const { return m_area; }

  TMenuBackground* Image1;  // the background, over the whole window
  TLabel3D* XTLB;
  TLabel3D* comlb;
  TLabel3D* Label3D2;
  TLabel3D* Label3D3;
  TLabel3D* Label3D4;
  TLabel3D* Label3D5;
  TLabel3D* Label3D6;
  QToolButton* szsb;
  QToolButton* xssb;
  QToolButton* xyysb;
  QToolButton* SSSB;
  QToolButton* xzsb;  // the writing screen
  QToolButton* tyzsb;  // the listening game
  QLabel* DueLb;       // on tyzsb: items due today, hidden at zero
  QToolButton* ABOUTSB;
  QToolButton* RECORDSB;  // the learning record, for the adult
  QToolButton* CHILDSB;   // "换小朋友": back to the picker
  QLabel* ChildPictureLb;  // the chosen child, small in the top corner
  QLabel* ChildNameLb;
  QToolButton* TODAYSB;  // "今天的学习", as the child's picture and name
  QToolButton* ALBUMSB;  // "贴纸册"
  QToolButton* MINISB;
  QToolButton* QuitSb;

 public Q_SLOTS:
  void szsbClick();
  void xssbClick();
  void xyysbClick();
  void SSSBClick();
  void xzsbClick();
  void tyzsbClick();
  // Asks the counter again; the menu does so whenever it becomes the active window.
  // Counts on a thread; the badge changes when the count arrives, if it is still the latest.
  void RefreshDueCount();
  void ShowDueCount(int due);
  void ABOUTSBClick();
  void RECORDSBClick();
  void CHILDSBClick();
  void TODAYSBClick();
  void ALBUMSBClick();
  // Shows the chosen child in the corner (nothing when none is chosen).
  void ShowCurrentChild();
  void MINISBClick();
  void QuitSbClick();
  void comlbClick();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int m_dueSerial = 0;
  QWidget* m_area;
};

// The single main menu window; set by start-up, cleared when the window is destroyed.
extern TMainForm* MainForm;
