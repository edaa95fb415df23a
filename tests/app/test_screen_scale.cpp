// SPDX-License-Identifier: GPL-3.0-or-later
// The design grows with the screen: the factor start-up picks for real screen sizes (measured by
// child processes on offscreen screens of those sizes), and the menu, a lesson screen and the
// drill laid out at 1.0 and 2.0 with every position scaled and no caption cut.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdio>

#include "app/main_form.h"
#include "app/screen_registry.h"
#include "app/screen_scale.h"
#include "controls/flat_speed_button.h"
#include "controls/label_3d.h"
#include "data/data_module.h"
#include "program.h"
#include "support/fakes.h"
#include "support/test_db.h"

namespace {

// An offscreen screen of the given size in device pixels, with the desktop's own scaling given
// as X11 desktops do, through the logical resolution.
QString ScreenConfig(const QTemporaryDir& dir, int width, int height, double dpr) {
  const QString path =
      dir.filePath(QStringLiteral("screen_%1x%2_%3.json").arg(width).arg(height).arg(dpr));
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(QStringLiteral(R"({"screens":[{"name":"s","x":0,"y":0,"width":%1,"height":%2,)"
                         R"("logicalDpi":%3,"logicalBaseDpi":96,"dpr":1}]})")
              .arg(width)
              .arg(height)
              .arg(96 * dpr)
              .toUtf8());
  return path;
}

QString RunChild(const QStringList& args, const QProcessEnvironment& env) {
  QProcess child;
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(), args);
  if (!child.waitForFinished(60000) || child.exitCode() != 0)
    return QStringLiteral("FAILED: ") + QString::fromLocal8Bit(child.readAllStandardError());
  return QString::fromUtf8(child.readAllStandardOutput());
}

// A widget's place in the window's tree (class and index at each level): the same widget in two
// runs of the same program, named or not.
QString TreePath(QWidget* w, QWidget* window) {
  QString path;
  for (; w != window; w = w->parentWidget())
    path.prepend(QStringLiteral("/%1#%2")
                     .arg(QLatin1String(w->metaObject()->className()))
                     .arg(w->parentWidget()->children().indexOf(w)));
  return path;
}

// Child: one line per visible widget: its path, rectangle in device pixels within the window, and
// whether every line of its caption fits its width.
void DumpLayout(QWidget* window) {
  const qreal dpr = window->devicePixelRatioF();
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || w->objectName().startsWith(QLatin1String("qt_"))) continue;
    const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    QString text;
    if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap()) text = l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
    if (auto* l = qobject_cast<TLabel3D*>(w); l && !l->wordWrap()) text = l->text();
    if (auto* b = qobject_cast<TFlatSpeedButton*>(w)) text = b->Caption();
    bool fits = true;
    for (const QString& line : text.split(QLatin1Char('\n')))
      fits &= w->fontMetrics().horizontalAdvance(line) <= w->width();
    std::printf("%s %g %g %g %g %d\n", qPrintable(TreePath(w, window)), r.x() * dpr, r.y() * dpr,
                r.width() * dpr, r.height() * dpr, int(fits));
  }
  std::fflush(stdout);
}

int LayoutChild(int argc, char** argv, const QString& window) {
  QApplication app(argc, argv);
  testing::FakeClock clock;
  testing::RecordingSoundPlayer sound(&clock);
  testing::ScriptedMessageBox boxes;
  if (window == QLatin1String("TMainForm")) {
    TMainForm menu;
    menu.setWindowState(Qt::WindowNoState);
    menu.resize(TMainForm::kDesignWidth, TMainForm::kDesignHeight);
    menu.show();
    QApplication::processEvents();
    DumpLayout(&menu);
    return 0;
  }
  testing::TestDataModule data;
  data.LoadSampleCourse();
  RegisterAllScreens();
  QTimer::singleShot(0, [] {
    QWidget* screen = QApplication::activeModalWidget();
    DumpLayout(screen);
    screen->close();
  });
  return ShowScreen(window, nullptr) ? 0 : 1;
}

using Layout = QHash<QString, QStringList>;
Layout ParseLayout(const QString& dump) {
  Layout out;
  for (const QString& line : dump.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.size() == 6) out.insert(parts[0], parts.mid(1));
  }
  return out;
}

}  // namespace

class ScreenScaleTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;

  QProcessEnvironment Env(int width, int height, double dpr) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               QStringLiteral("offscreen:configfile=") + ScreenConfig(m_dir, width, height, dpr));
    env.remove(QStringLiteral("QT_SCALE_FACTOR"));
    env.remove(QStringLiteral("TINDORA_SCALE"));
    return env;
  }

 private Q_SLOTS:
  // Start-up's factor, measured on screens of these sizes; "desktop" is the desktop's own scaling,
  // which the factor comes on top of without doubling it.
  void startupFactor_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("desktop");
    QTest::addColumn<QString>("scaleOverride");
    QTest::addColumn<double>("expected");
    const struct {
      int w, h;
      double f;
    } screens[] = {{800, 600, 1},      {1024, 768, 1.25},  {1280, 800, 1.25}, {1366, 768, 1.25},
                   {1920, 1080, 1.75}, {2560, 1440, 2.25}, {3840, 2160, 3.5}, {640, 480, 1}};
    for (const auto& s : screens)
      QTest::addRow("%dx%d", s.w, s.h) << s.w << s.h << 1.0 << QString() << s.f;
    QTest::newRow("3840x2160 at 200%") << 3840 << 2160 << 2.0 << QString() << 1.75;
    QTest::newRow("2560x1440 at 150%") << 2560 << 1440 << 1.5 << QString() << 1.5;
    QTest::newRow("1920x1080 at 125%") << 1920 << 1080 << 1.25 << QString() << 1.25;
    QTest::newRow("1366x768 at 150%") << 1366 << 768 << 1.5 << QString() << 1.0;
    QTest::newRow("override") << 1920 << 1080 << 1.0 << QStringLiteral("1.25") << 1.25;
    QTest::newRow("unusable override") << 1920 << 1080 << 1.0 << QStringLiteral("big") << 1.75;
    QTest::newRow("override too small") << 1920 << 1080 << 1.0 << QStringLiteral("0.1") << 1.75;
  }
  void startupFactor() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, desktop);
    QFETCH(QString, scaleOverride);
    QFETCH(double, expected);
    QProcessEnvironment env = Env(width, height, desktop);
    if (!scaleOverride.isEmpty()) env.insert(QStringLiteral("TINDORA_SCALE"), scaleOverride);
    const QStringList got =
        RunChild({QStringLiteral("--child-factor")}, env).split(QLatin1Char(' '));
    QCOMPARE(got.size(), 2);
    QCOMPARE(got[0].toDouble(), expected);
    // The windows' own device pixel ratio: the desktop's scaling times ours, never squared.
    QCOMPARE(got[1].toDouble(), desktop * expected);
  }

  // Every widget's place scales with the factor (within a pixel) and no caption is cut.
  void layoutScales_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<double>("factor");
    const char* windows[][2] = {{"main menu", "TMainForm"},
                                {"character screen", "TszmainForm"},
                                {"poem screen", "TxsmainForm"},
                                {"English screen", "TXYYMAINForm"},
                                {"drill", "TYSMAINForm"}};
    for (const auto& w : windows)
      for (double f : {1.25, 1.5, 2.0, 2.75})
        QTest::addRow("%s at %g", w[0], f) << QString::fromLatin1(w[1]) << f;
  }
  void layoutScales() {
    QFETCH(QString, window);
    QFETCH(double, factor);
    Layout at[2];
    for (int i = 0; i < 2; ++i) {
      const double f = i == 0 ? 1.0 : factor;
      // A screen of the design's size at each factor: the maximised windows are the design.
      QProcessEnvironment env = Env(qCeil(800 * f), qCeil(578 * f), 1.0);
      env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(f));
      env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
      const QString dump = RunChild({QStringLiteral("--child-layout"), window}, env);
      QVERIFY2(!dump.startsWith(QLatin1String("FAILED")), qPrintable(dump));
      at[i] = ParseLayout(dump);
    }
    QVERIFY(at[0].size() > 5);
    QCOMPARE(at[1].keys().size(), at[0].keys().size());
    for (auto it = at[0].cbegin(); it != at[0].cend(); ++it) {
      const QStringList one = it.value();
      const QStringList two = at[1].value(it.key());
      QVERIFY2(two.size() == 5, qPrintable(it.key()));
      for (int c = 0; c < 4; ++c)
        QVERIFY2(qAbs(two[c].toDouble() - factor * one[c].toDouble()) <= 1,
                 qPrintable(QStringLiteral("%1: %2 at 1.0, %3 scaled")
                                .arg(it.key(), one.join(' '), two.join(' '))));
      QVERIFY2(one[4] == QLatin1String("1") && two[4] == QLatin1String("1"),
               qPrintable(it.key() + QStringLiteral(": caption cut")));
    }
  }

  // TINDORA_SCALE: a number from 0.5 to 8, both ends included.
  void overrideParsing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");  // 0: refused
    QTest::newRow("fraction") << QByteArray("1.5") << 1.5;
    QTest::newRow("blanks around") << QByteArray(" 2 ") << 2.0;
    QTest::newRow("empty") << QByteArray() << 0.0;
    QTest::newRow("not a number") << QByteArray("nan") << 0.0;
    QTest::newRow("smallest") << QByteArray("0.5") << 0.5;
    QTest::newRow("below smallest") << QByteArray("0.49") << 0.0;
    QTest::newRow("largest") << QByteArray("8") << 8.0;
    QTest::newRow("above largest") << QByteArray("8.01") << 0.0;
  }
  void overrideParsing() {
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(ScaleOverride(text).value_or(0), expected);
  }
};

int main(int argc, char** argv) {
  if (argc > 1 && qstrcmp(argv[1], "--child-factor") == 0) {
    PrepareScreenScale();
    QApplication app(argc, argv);
    const double factor = ApplyScreenScale();
    std::printf("%g %g", factor, QGuiApplication::primaryScreen()->devicePixelRatio());
    return 0;
  }
  if (argc > 2 && qstrcmp(argv[1], "--child-layout") == 0)
    return LayoutChild(argc, argv, QString::fromLatin1(argv[2]));
  QApplication app(argc, argv);
  ScreenScaleTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_screen_scale.moc"
