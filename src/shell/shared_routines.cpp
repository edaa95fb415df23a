#include "shell/shared_routines.h"

#include <QLineEdit>

#include "platform/clock.h"
#include "platform/dialogs.h"

QString CurrentSoundFile;
QString EditOldName;

void WaitSeconds(int seconds) {
  auto& clock = platform::CurrentClock();
  auto stamp = [&clock] {
    const QTime t = clock.Now().time();
    return t.second() * 1000 + t.msec();
  };
  const int start = stamp();
  const int wanted = seconds * 1000;
  for (;;) {
    int passed = stamp() - start;
    if (passed < 0) passed += 60000;  // the minute rolled over since the start
    if (passed >= wanted) return;
    // Sleep in short slices instead of spinning a core; still no window messages are handled.
    clock.SleepMs(qMin(5, wanted - passed));
  }
}

bool CheckIntegerEdit(QLineEdit* edit) {
  bool ok = false;
  const int value = edit->text().toInt(&ok);
  if (ok && value > 0) return true;
  platform::MessageBox(edit->window(), QStringLiteral("此编辑框只能输入正整数"),
                       QStringLiteral("注意"), platform::MB_OK | platform::MB_ICONWARNING);
  edit->clear();
  edit->setFocus();
  return false;
}

QString ErrorReportText(const QString& text) {
  QString s = text;
  if (!s.isEmpty() && s.back() > QLatin1Char('.')) s += QLatin1Char('.');
  return s;
}

void ReportError(const QString& text) {
  platform::MessageBox(nullptr, ErrorReportText(text), kApplicationTitle,
                       platform::MB_OK | platform::MB_ICONERROR);
}

QFont SongFont(int pixelSize, bool bold, bool italic, bool underline) {
  QFont f;
  f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                 QStringLiteral("Noto Sans CJK SC")});
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setItalic(italic);
  f.setUnderline(underline);
  return f;
}
