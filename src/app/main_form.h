// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu: a full-screen window from which a child starts one of the five modules.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "app/maker_site.h"
#include "controls/label_3d.h"

class QLineEdit;
class QToolButton;

// A picture stretched over the whole widget, scaled smoothly once for the widget's size in device
// pixels (a grown design would show the stretched JPEG's blocks) and then only copied.
class TStretchedImage : public QWidget {
  Q_OBJECT
 public:
  explicit TStretchedImage(const QString& file, QWidget* parent = nullptr);
  const QPixmap& pixmap() const { return m_picture; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap m_picture;
  QPixmap m_scaled;  // m_picture at the last painted size
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

  TStretchedImage* Image1;  // the background, over the whole window
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
  QToolButton* ABOUTSB;
  QToolButton* RECORDSB;  // the learning record, for the adult
  QToolButton* MINISB;
  QToolButton* QuitSb;

 public Q_SLOTS:
  void szsbClick();
  void xssbClick();
  void xyysbClick();
  void SSSBClick();
  void xzsbClick();
  void ABOUTSBClick();
  void RECORDSBClick();
  void MINISBClick();
  void QuitSbClick();
  void comlbClick();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* m_area;
};

// The single main menu window; set by start-up, cleared when the window is destroyed.
extern TMainForm* MainForm;
