// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the drill screen in its main states to PNG files in the current folder, for looking at.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QRadioButton>
#include <cstdio>

#include "arithmetic/drill_screen.h"
#include "controls/flat_speed_button.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/sound.h"

namespace {

// Pauses pass at once and nothing sounds, so that a picture needs no real time.
class InstantClock final : public platform::Clock {
 public:
  QDateTime Now() const override { return m_now; }
  void SleepMs(int ms) override { m_now = m_now.addMSecs(ms); }

 private:
  QDateTime m_now = QDateTime(QDate(2024, 3, 5), QTime(9, 30));
};

class SilentPlayer final : public platform::SoundPlayer {
 public:
  void Play(const QString&) override {}
};

void Shot(TYSMAINForm& form, const char* name) {
  const QString file = QStringLiteral("drill_%1.png").arg(QLatin1String(name));
  form.designArea()->grab().save(file);
  std::printf("%s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstantClock clock;
  SilentPlayer player;
  platform::SeededRandom random(4);
  platform::SetClock(&clock);
  platform::SetSoundPlayer(&player);
  platform::SetRandom(&random);

  TYSMAINForm form(nullptr);
  form.ShowMaximizedOrDesign(false);
  Shot(form, "start");

  form.STARTSBClick();
  form.Timer2Timer();
  Shot(form, "awaiting");

  // Three right answers and one shown answer, then the fifth exercise left open.
  for (int i = 0; i < 4; ++i) {
    if (i == 2)
      form.SHOWSBClick();
    else
      form.SBClick(form.State().Answer);
    form.NEXTsbClick();
  }
  form.SBClick(form.State().Answer);
  Shot(form, "resolved");

  // As on a wide screen: the window larger than its design area.
  form.resize(1100, 700);
  const QString wide = QStringLiteral("drill_wide.png");
  form.grab().save(wide);
  std::printf("%s\n", qPrintable(wide));
  form.resize(form.designArea()->size());

  form.DELRB->setChecked(true);
  form.Timer3Timer();
  form.SBClick(form.State().Answer);
  Shot(form, "subtraction");

  platform::SetRandom(nullptr);
  platform::SetSoundPlayer(nullptr);
  platform::SetClock(nullptr);
  return 0;
}
