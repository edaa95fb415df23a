// SPDX-License-Identifier: GPL-3.0-or-later
// Renders today's path (its start, a new character, the summary), the sticker album, the menu with
// a child chosen and the children's window with the level, on the sample course, to PNG files;
// prints how long the path takes from the button to its first step. The scale comes from
// QT_SCALE_FACTOR.   shot_today [FOLDER]
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSettings>
#include <cstdio>

#include "app/current_child.h"
#include "app/main_form.h"
#include "app/prompt_player.h"
#include "children/children_window.h"
#include "controls/flat_speed_button.h"
#include "data/children.h"
#include "data/path_store.h"
#include "platform/clock.h"
#include "platform/sound.h"
#include "review/today_window.h"
#include "shot_support.h"

namespace {

class FixedClock final : public platform::Clock {
 public:
  QDateTime Now() const override { return QDateTime(QDate(2026, 12, 9), QTime(9, 30)); }
  void SleepMs(int) override {}
};

class SilentPlayer final : public platform::SoundPlayer {
 public:
  void Play(const QString&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = ShotFolder(argc, argv);
  SampleDataModule data;
  if (!data.Ok()) return 1;
  FixedClock clock;
  platform::SetClock(&clock);
  SilentPlayer silent;
  platform::SetSoundPlayer(&silent);
  SetPromptsOn(false);
  QSettings().remove(QStringLiteral("path"));  // each picture from the path's start
  const QString c = dm->ConnectionName();
  children::Child young, old;
  QString error;
  if (!children::AddChild(c, QStringLiteral("小明"), 0, &young, &error) ||
      !children::AddChild(c, QStringLiteral("小红"), 3, &old, &error) ||
      !paths::SaveLevel(c, old.id, {3, 5}, &error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }
  for (int d = 1; d <= 9; ++d) {
    bool given = false;
    paths::AwardSticker(c, young.id, int(clock.Now().date().toJulianDay()) - d * 2, (d * 5) % paths::kStickerCount, &given,
                        &error);
  }
  auto save = [&](QWidget* w, const char* name) {
    SaveShot(w, folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
  };
  for (const children::Child& child : {young, old}) {
    SetCurrentChild(child);
    QElapsedTimer t;
    t.start();
    TTodayForm form(nullptr);
    form.ShowMaximizedOrDesign(false);
    QApplication::processEvents();
    std::printf("%s: first step shown %lld ms after the button\n", qPrintable(child.name),
                t.elapsed());
    QStringList steps;
    for (const review::PathStep& s : form.Steps())
      steps << review::StepTitle(s.kind) + QStringLiteral("：") + s.items.join(QLatin1Char(' '));
    std::printf("  %s\n", qPrintable(steps.join(QStringLiteral(" → "))));
    if (child.id != young.id) {
      save(&form, "today_start_older");
      continue;
    }
    save(&form, "today_start");
    TTodayForm::SetStepRunner([](const review::PathStep&) { return true; });
    form.GoSb->Click();
    save(&form, "today_new_character");
    while (form.SummaryPanel->isHidden() && form.CurrentStep() < form.Steps().size()) {
      form.GoSb->Click();
      if (form.Steps()[qMin(form.CurrentStep(), int(form.Steps().size()) - 1)].kind ==
              review::StepKind::PoemLine &&
          !form.StagePanel->isHidden())
        save(&form, "today_poem");
    }
    save(&form, "today_summary");
    TTodayForm::SetStepRunner({});
  }
  SetCurrentChild(young);
  TStickerAlbumForm album(nullptr);
  album.ShowMaximizedOrDesign(false);
  save(&album, "sticker_album");
  TMainForm menu;
  MainForm = &menu;
  menu.setWindowState(Qt::WindowNoState);
  menu.resize(TMainForm::kDesignWidth, TMainForm::kDesignHeight);
  menu.show();
  save(&menu, "menu_with_child");
  TChildrenForm window(nullptr);
  window.ChildList->setCurrentRow(1);
  window.show();
  save(&window, "children_level");
  MainForm = nullptr;
  platform::SetSoundPlayer(nullptr);
  platform::SetClock(nullptr);
  return 0;
}
