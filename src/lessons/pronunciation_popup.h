// SPDX-License-Identifier: GPL-3.0-or-later
// Tsendsongform: the pronunciation pop-up of the character screen. It shows one character large
// with its pinyin line and plays the recording named by CurrentSoundFile three times, then closes.
#pragma once

#include <QDateTime>
#include <QDialog>

class QFrame;
class QLabel;
class QTimer;

class Tsendsongform : public QDialog {
  Q_OBJECT
 public:
  explicit Tsendsongform(QWidget* owner);

  QLabel* FYLB;  // pronunciation line
  QFrame* Panel1;
  QLabel* ZILB;  // the character
  QLabel* NOLB;  // "no recording" notice
  QLabel* PictureLB;  // the item's picture, hidden without one
  QTimer* Timer1;

  // Shows `emoji` beside the character; an empty string shows none.
  void ShowPicture(const QString& emoji);
  // Plays the recording three times and closes, or shows the notice when there is none.
  void PlayAndClose();
  // The recording is still on its way from the server: it plays when it arrives.
  void AwaitRecording() { m_awaiting = true; }
  // It has arrived (`path`; a name that names no file plays the default sound).
  void RecordingArrived(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Timer1Timer();
  void FormClick();

  QDateTime m_shownAt;
  bool m_awaiting = false;
  bool m_due = false;  // the time to play came before the recording
};
