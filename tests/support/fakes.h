// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes for the seams: clock, sound player, message box, file dialog and web opener. Each
// installs itself on construction and restores the real one on destruction.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

namespace testing {

// A clock that only moves when slept on or advanced.
class FakeClock final : public platform::Clock {
 public:
  explicit FakeClock(const QDateTime& start = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
  ~FakeClock() override;
  QDateTime Now() const override { return m_now; }
  void SleepMs(int ms) override;
  void Advance(int ms) { m_now = m_now.addMSecs(ms); }
  void Set(const QDateTime& now) { m_now = now; }
  qint64 SleptMs() const { return m_slept; }

 private:
  QDateTime m_now;
  qint64 m_slept = 0;
};

// Records every play and stop, with the fake clock's time when there is one.
class RecordingSoundPlayer final : public platform::SoundPlayer {
 public:
  struct Call {
    QString name;  // empty = stop
    QDateTime at;
  };
  explicit RecordingSoundPlayer(const FakeClock* clock = nullptr);
  ~RecordingSoundPlayer() override;
  void Play(const QString& name) override;
  QList<Call> calls;
  QStringList Names() const;  // names in order ("" for a stop)

 private:
  const FakeClock* m_clock;
};

// Answers message boxes from a script (IDOK when the script is empty) and records them.
class ScriptedMessageBox {
 public:
  struct Shown {
    QWidget* owner;
    QString text;
    QString title;
    unsigned flags;
  };
  ScriptedMessageBox();
  ~ScriptedMessageBox();
  QList<int> answers;
  QList<Shown> shown;
  // Each box shown as "title|text".
  QStringList TitlesAndTexts() const;
};

// Answers file dialogs with `fileToChoose` (empty: cancelled) and records web addresses opened.
class FakeDialogs {
 public:
  FakeDialogs();
  ~FakeDialogs();
  QString fileToChoose;
  int fileDialogs = 0;
  QString lastFilter;  // of the latest file dialog
  QString lastFolder;
  QString saveFileToChoose;
  int saveDialogs = 0;
  QStringList urls;
};

}  // namespace testing
