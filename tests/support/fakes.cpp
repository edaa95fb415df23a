// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fakes.h"

namespace testing {

FakeClock::FakeClock(const QDateTime& start) : m_now(start) { platform::SetClock(this); }
FakeClock::~FakeClock() { platform::SetClock(nullptr); }

void FakeClock::SleepMs(int ms) {
  m_now = m_now.addMSecs(ms);
  m_slept += ms;
}

RecordingSoundPlayer::RecordingSoundPlayer(const FakeClock* clock) : m_clock(clock) {
  platform::SetSoundPlayer(this);
}
RecordingSoundPlayer::~RecordingSoundPlayer() { platform::SetSoundPlayer(nullptr); }

void RecordingSoundPlayer::Play(const QString& name) {
  calls.push_back({name, m_clock ? m_clock->Now() : QDateTime()});
}

QStringList RecordingSoundPlayer::Names() const {
  QStringList out;
  for (const Call& c : calls) out << c.name;
  return out;
}

ScriptedMessageBox::ScriptedMessageBox() {
  platform::SetMessageBoxHandler(
      [this](QWidget* owner, const QString& text, const QString& title, unsigned flags) {
        shown.push_back({owner, text, title, flags});
        return answers.isEmpty() ? platform::IDOK : answers.takeFirst();
      });
}
ScriptedMessageBox::~ScriptedMessageBox() { platform::SetMessageBoxHandler({}); }

QStringList ScriptedMessageBox::TitlesAndTexts() const {
  QStringList out;
  for (const Shown& s : shown) out << s.title + QLatin1Char('|') + s.text;
  return out;
}

FakeDialogs::FakeDialogs() {
  platform::SetOpenFileHandler(
      [this](QWidget*, const QString&, const QString& filter, const QString& folder) {
        ++fileDialogs;
        lastFilter = filter;
        lastFolder = folder;
        return fileToChoose;
      });
  platform::SetSaveFileHandler([this](QWidget*, const QString&, const QString&, const QString&) {
    ++saveDialogs;
    return saveFileToChoose;
  });
  platform::SetOpenUrlHandler([this](const QString& url) {
    urls << url;
    return true;
  });
}
FakeDialogs::~FakeDialogs() {
  platform::SetOpenFileHandler({});
  platform::SetSaveFileHandler({});
  platform::SetOpenUrlHandler({});
}

}  // namespace testing
