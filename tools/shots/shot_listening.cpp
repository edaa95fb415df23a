// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the listening game, its help window and the knowledge view to PNG files, with the
// sample course or (--course200) a course of 200 characters in ten chapters, for looking at.
// The scale comes from QT_SCALE_FACTOR.   shot_listening [--course200] [FOLDER]
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#include "app/help_windows.h"
#include "platform/clock.h"
#include "platform/dataset.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "app/practice_log.h"
#include "data/record_store.h"
#include "review/knowledge_window.h"
#include "review/listening_screen.h"
#include "review/review_store.h"
#include "shot_support.h"

namespace {

class FixedClock final : public platform::Clock {
 public:
  QDateTime Now() const override { return QDateTime(QDate(2026, 12, 8), QTime(9, 30)); }
  void SleepMs(int) override {}
};

class SilentPlayer final : public platform::SoundPlayer {
 public:
  void Play(const QString&) override {}
};

const char kCommon[] =
    "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对"
    "可她里后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同"
    "三已老从动两长知民样现分将外但身些与高意进把法此实回二理美点月明其种声全工己话儿者向情部正名定"
    "女问力机给等几很业最间新什打便位因重被走电四第门相次东政海口使教西再平真听世气信北少关并内加化"
    "由却代军产入先山五太水万市眼体别处总才场师书比住员九笑性通目华报立马命张活难神数件安表原车白应"
    "路期叫死常提感金何更反合放做系计或司利受光王果亲界及今京务制解各任至清物台象记边共风战干接它许";

// Ten chapters of twenty characters each, without recordings: the game speaks them.
bool Course200(const QString& c) {
  QStringList chars;
  for (const QChar ch : QString::fromUtf8(kCommon))
    if (!chars.contains(QString(ch))) chars << QString(ch);
  QString error;
  for (int ch = 0; ch < 10; ++ch) {
    const QString chapter = QStringLiteral("第%1课 常用字").arg(ch + 1);
    if (!platform::ExecQuery(c, QStringLiteral("insert into ZJ (章号, 章节) values (?, ?)"),
                             {ch + 10, chapter}, nullptr, &error))
      return false;
    for (int i = 0; i < 20; ++i)
      if (!platform::ExecQuery(
              c, QStringLiteral("insert into szSound (字号, 字名, 章节) values (?, ?, ?)"),
              {1000 + ch * 20 + i, chars.value(ch * 20 + i), chapter}, nullptr, &error))
        return false;
  }
  return true;
}

void Save(QWidget* w, const QString& folder, const QString& name) {
  SaveShot(w, folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void Pick(TtyzmainForm& form, bool right) {
  const QString target = form.Game()->Target();
  for (TGameCard* card : form.Cards)
    if (!card->isHidden() && card->CurrentLook() == TGameCard::Look::Plain &&
        (card->Text() == target) == right) {
      form.CardPicked(card->Text());
      return;
    }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  bool course200 = false;
  QStringList args = app.arguments().mid(1);
  if (args.removeAll(QStringLiteral("--course200"))) course200 = true;
  QTemporaryDir cache;
  qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
  const QString folder = args.isEmpty() ? QDir::currentPath() : args.first();
  QDir().mkpath(folder);
  FixedClock clock;
  SilentPlayer player;
  platform::SeededRandom random(8);
  platform::SetClock(&clock);
  platform::SetSoundPlayer(&player);
  platform::SetRandom(&random);
  SampleDataModule data;
  if (!data.Ok()) return 1;
  const QString c = dm->ConnectionName();
  if (course200 && !Course200(c)) return 1;
  const QString tag = course200 ? QStringLiteral("200") : QStringLiteral("sample");

  // The child has looked at two chapters.
  QString error;
  QList<records::Record> seen;
  for (const QString& item : course200 ? QStringList{"的", "我"} : QStringList{"一", "人"})
    seen.append({records::MachineName(), clock.Now(), records::Module::Character, item, {}, {}, 0,
                 {}});
  records::WriteRecords(c, seen, &error);

  TtyzmainForm form(nullptr);
  form.ShowMaximizedOrDesign(false);
  QApplication::processEvents();
  form.NextTimer->stop();
  Save(&form, folder, "listening_" + tag + "_round");
  Pick(form, false);
  Save(&form, folder, "listening_" + tag + "_wrong");
  Pick(form, false);
  form.RepeatTimer->stop();
  Save(&form, folder, "listening_" + tag + "_missed");
  form.NextTimer->stop();
  form.NextRound();
  Pick(form, true);
  form.NextTimer->stop();
  Save(&form, folder, "listening_" + tag + "_right");
  for (int i = 0; i < 3; ++i) {
    form.NextRound();
    Pick(form, true);
    form.NextTimer->stop();
  }
  form.NextRound();
  Save(&form, folder, "listening_" + tag + "_summary");
  // Four more right and one more game: four cards.
  form.StartGame();
  for (int i = 0; i < 2; ++i) {
    Pick(form, true);
    form.NextTimer->stop();
    form.NextRound();
  }
  Save(&form, folder, "listening_" + tag + "_four_cards");

  TtyzMYHLPForm help(nullptr);
  help.show();
  Save(&help, folder, QStringLiteral("listening_help"));

  TKnowledgeForm knowledge(nullptr);
  knowledge.setWindowState(Qt::WindowNoState);
  knowledge.resize(800, 578);
  knowledge.show();
  Save(&knowledge, folder, "knowledge_" + tag);

  platform::SetRandom(nullptr);
  platform::SetSoundPlayer(nullptr);
  platform::SetClock(nullptr);
  return 0;
}
