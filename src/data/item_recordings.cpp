// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/item_recordings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "platform/dataset.h"
#include "platform/logging.h"

namespace {

// Pauses inside synthesised speech are cut to this many seconds: short files, brisk reading.
constexpr double kMaxPause = 0.25;

bool HasHan(const QString& s) {
  for (const uint c : s.toUcs4())
    if (QChar::script(c) == QChar::Script_Han) return true;
  return false;
}

}  // namespace

QString RecordingsFolder(const LessonKind& kind) {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(kind.soundFolder);
}

QString RecordingFileName(const LessonKind& kind, const QString& name) {
  QString base = name.trimmed();
  if (kind.id == LessonKindId::English)
    base = base.toUpper().replace(QLatin1Char(' '), QLatin1Char('_'));
  static const QRegularExpression forbidden(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
  base.replace(forbidden, QStringLiteral("_"));
  if (base.startsWith(QLatin1Char('.'))) base.replace(0, 1, QLatin1Char('_'));  // not hidden
  // A file name holds 255 bytes, and the recordings library adds its hash: a long name is cut on
  // a character and told apart from others of the same beginning by a digest of the whole.
  constexpr qsizetype kBaseBytes = 120;
  if (base.toUtf8().size() > kBaseBytes) {
    const QByteArray digest =
        QCryptographicHash::hash(name.trimmed().toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    QString cut;
    qsizetype bytes = 0;
    for (const uint c : base.toUcs4()) {
      const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
      bytes += one.toUtf8().size();
      if (bytes > kBaseBytes - 9) break;
      cut += one;
    }
    base = cut + QLatin1Char('_') + QString::fromLatin1(digest);
  }
  return base + QStringLiteral(".wav");
}

QString ReadingInText(const QString& text) {
  // "yī  一个  一天": the leading Latin words are the reading. A dash or a sign put where the
  // reading goes is none ("-" would make every such item sound alike).
  QStringList reading;
  for (const QString& w :
       text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
    if (HasHan(w)) break;
    if (std::any_of(w.begin(), w.end(), [](QChar c) { return c.isLetter(); })) reading << w;
  }
  return reading.join(QLatin1Char(' '));
}

QString CharacterSoundFile(const QString& connection, const QString& name, const QString& text,
                           const QString& sound) {
  const QString path = recordings::LocalPath(connection, sound);
  if (!sound.isEmpty() && QFileInfo(path).isFile()) return path;
  const QString folder =
      QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/speech");
  const QString key = QString::fromLatin1(
      QCryptographicHash::hash((name + '\n' + text).toUtf8(), QCryptographicHash::Sha1).toHex());
  const QString file = folder + QLatin1Char('/') + key + QStringLiteral(".wav");
  if (QFileInfo(file).isFile()) return file;
  platform::Samples samples;
  QString error;
  if (!QDir().mkpath(folder) ||
      !Speak(SpeechFor(Kind(LessonKindId::Character), name, text), &samples, &error) ||
      !platform::SaveWav(samples, file, platform::Overwrite::Replace, &error)) {
    qCInfo(lcSound) << "no speech for" << name << error;
    return path;
  }
  return file;
}

ItemSpeech SpeechFor(const LessonKind& kind, const QString& name, const QString& text) {
  ItemSpeech s;
  switch (kind.id) {
    case LessonKindId::Character: {
      const QString reading = ReadingInText(text);
      s.text = reading.isEmpty() ? name.trimmed() : reading;
      // The first Han word after the reading is an example.
      for (const QString& w :
           text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (HasHan(w)) {
          s.text += QStringLiteral("，") + w;
          break;
        }
      s.settings = {platform::Voice::Mandarin, 150, 50};
      break;
    }
    case LessonKindId::Poem: {
      QStringList parts{name.trimmed()};
      for (QString line : QString(text)
                              .replace(QStringLiteral("·"), QStringLiteral("，"))
                              .split(QLatin1Char('\n'))) {
        line = line.trimmed();
        while (!line.isEmpty() && QStringLiteral("。，！？").contains(line.back())) line.chop(1);
        if (!line.isEmpty()) parts << line;
      }
      s.text = parts.join(QStringLiteral("。")) + QStringLiteral("。");
      s.settings = {platform::Voice::Mandarin, 175, 50};
      break;
    }
    case LessonKindId::English:
      s.text = name.trimmed();
      s.settings = {platform::Voice::English, 140, 50};
      break;
  }
  return s;
}

bool Speak(const ItemSpeech& speech, platform::Samples* out, QString* error) {
  platform::Samples raw;
  if (!platform::Synthesise(speech.text, speech.settings, &raw, error)) return false;
  *out = platform::Tidy(raw, kMaxPause);
  if (out->empty()) {
    if (error) *error = QStringLiteral("没有合成出声音：这一项没有可以读的文字。");
    return false;
  }
  return true;
}

QString RecordFirstPlay(platform::Dataset& items, const LessonKind& kind, QString* error) {
  const QString name = items.Field(kind.nameField), text = items.Field(kind.textField);
  platform::Samples samples;
  if (!Speak(SpeechFor(kind, name, text), &samples, error)) return {};
  const QByteArray bytes = platform::WavBytes(samples);
  const QString connection = items.ConnectionName();
  QString why, written;
  const QString library = recordings::NameFor(connection, kind, name, bytes, &why);
  if (!library.isEmpty()) {
    platform::Transaction tx(connection);
    bool stored = tx.Begin();
    if (stored) {
      // Holds only while the row still has no recording: one made meanwhile stays.
      items.Edit();
      stored = items.SetField(QStringLiteral("声音"), library) && items.Post();
      if (!stored) {
        why = items.LastError();
        items.Cancel();
      }
    } else {
      why = tx.LastError();
    }
    if (stored && !recordings::Publish(connection, library, bytes, &written, &why)) stored = false;
    if (stored && !tx.Commit()) {
      why = tx.LastError();
      stored = false;
    }
    if (stored) return recordings::LocalPath(connection, library);
    if (!written.isEmpty()) QFile::remove(written);
    tx.Rollback();
    // The cached row was changed by Post; read the item again so it shows what is stored.
    const QString number = items.Field(kind.numberField);
    if (items.Reopen()) items.Locate(kind.numberField, number, false);
  }
  qCInfo(lcSound) << "first play of" << name << "not kept in the library:" << why;
  // Played this time from the cache, where the same words are found again.
  const QString folder = recordings::CacheRoot() + QStringLiteral("/speech");
  const QString file = folder + QLatin1Char('/') +
                       QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16)) +
                       QStringLiteral(".wav");
  if (QFileInfo(file).isFile()) return file;
  if (!QDir().mkpath(folder) ||
      !platform::SaveFile(bytes, file, platform::Overwrite::Replace, error))
    return {};
  return file;
}
