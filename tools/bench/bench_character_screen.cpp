// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the character screen takes to list a chapter of 1001 characters (the query and
// the list, then until the list has been laid out and drawn), and how much CPU the open screen
// uses while idle with its one-second clock. Run with QT_QPA_PLATFORM=offscreen or on a display.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>

#include "data/data_module.h"
#include "data/lesson_database.h"
#include "lessons/character_screen.h"
#include "platform/dataset.h"

namespace {

const QString kBig = QStringLiteral("大章节");

void Fill(const QString& path) {
  const QString connection = QStringLiteral("fill");
  {
    QString error;
    OpenConnection(connection, EmbeddedSpec(path), &error);
    CreateSchema(connection, &error);
    platform::Transaction tx(connection);
    tx.Begin();
    platform::Dataset d(connection);
    d.SetTableName(QStringLiteral("ZJ"));
    d.Open();
    for (int i = 1; i <= 2; ++i) {
      d.Append();
      d.SetField(QStringLiteral("章号"), QString::number(i));
      d.SetField(QStringLiteral("章节"), i == 1 ? QStringLiteral("小章节") : kBig);
      d.Post();
    }
    d.Close();
    d.SetTableName(QStringLiteral("szSound"));
    d.Open();
    for (int i = 1; i <= 1001; ++i) {
      d.Append();
      d.SetField(QStringLiteral("字号"), QString::number(i));
      d.SetField(QStringLiteral("字名"), QString(QChar(0x4e00 + i)));
      d.SetField(QStringLiteral("章节"), kBig);
      d.SetField(QStringLiteral("拼音词组"), QStringLiteral("pīn yīn  词组"));
      d.SetField(QStringLiteral("声音"), QStringLiteral("/媒体/字语音库/%1.wav").arg(i));
      d.Post();
    }
    tx.Commit();
  }
  QSqlDatabase::removeDatabase(connection);
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

double Median(QList<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTextStream out(stdout);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("lessons.db"));
  Fill(path);
  Tdm module(EmbeddedSpec(path));
  dm = &module;
  {
    TszmainForm screen(nullptr);
    screen.ShowMaximizedOrDesign(false);
    QApplication::processEvents();
    screen.CB1->setCurrentIndex(1);

    QList<double> load, shown;
    for (int run = 0; run < 15; ++run) {
      QElapsedTimer t;
      t.start();
      screen.LoadChapterItems();
      load << t.nsecsElapsed() / 1e6;
      // The list would lay itself out on the next pass of the event loop; force it, then paint.
      screen.ListView1->doItemsLayout();
      screen.ListView1->viewport()->repaint();
      shown << t.nsecsElapsed() / 1e6;
    }
    out << QStringLiteral(
               "chapter of %1 characters: query and list %2 ms (median of %3, best %4 ms); "
               "with layout and first paint %5 ms\n")
               .arg(screen.ListView1->count())
               .arg(Median(load), 0, 'f', 1)
               .arg(load.size())
               .arg(*std::min_element(load.begin(), load.end()), 0, 'f', 1)
               .arg(Median(shown), 0, 'f', 1);
    out.flush();

    const int seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    QElapsedTimer wall;
    wall.start();
    const double cpu = CpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    const double used = CpuSeconds() - cpu;
    out << QStringLiteral("idle open screen: %1 ms CPU in %2 s = %3 % of a core\n")
               .arg(used * 1000, 0, 'f', 1)
               .arg(wall.elapsed() / 1000.0, 0, 'f', 1)
               .arg(100 * used / (wall.elapsed() / 1000.0), 0, 'f', 3);
  }
  dm = nullptr;
  return 0;
}
