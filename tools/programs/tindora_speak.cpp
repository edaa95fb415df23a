// SPDX-License-Identifier: GPL-3.0-or-later
// Speaks lesson items into WAV files exactly as the item editor's "合成" does; the sample course's
// recordings and drill sounds are made with it (scripts/make_sounds.sh).
//   tindora_speak --course sample_course.json --media assets/media
//   tindora_speak --kind character --name 一 [--text "yī  一个"] [--rate N] [--pitch N]
//                 [--volume F] out.wav
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "data/item_recordings.h"
#include "data/lesson_kinds.h"

namespace {

const LessonKind* KindByKey(const QString& key) {
  for (const LessonKind* k : AllKinds())
    if (k->key == key) return k;
  return nullptr;
}

bool SpeakInto(const ItemSpeech& speech, double volume, const QString& path) {
  platform::Samples samples;
  QString error;
  if (Speak(speech, &samples, &error)) {
    for (auto& s : samples) s = static_cast<std::int16_t>(s * volume);
    if (platform::SaveWav(samples, path, platform::Overwrite::Replace, &error)) return true;
  }
  std::fprintf(stderr, "tindora_speak: %s: %s\n", qPrintable(path), qPrintable(error));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser p;
  p.addHelpOption();
  p.addOptions({{"course", "Speak every item of this course file.", "json"},
                {"media", "Folder holding the kinds' recordings folders.", "folder"},
                {"kind", "character, poem or english.", "kind"},
                {"name", "The item's name.", "name"},
                {"text", "The item's text (pinyin and words, poem, translation).", "text"},
                {"rate", "Words per minute instead of the kind's.", "n"},
                {"pitch", "Pitch, 0 to 100.", "n"},
                {"volume", "Loudness factor, 1 = full.", "f", "1"}});
  p.addPositionalArgument("out", "The WAV file to write.");
  p.process(app);

  if (p.isSet("course")) {
    QFile f(p.value("course"));
    if (!f.open(QIODevice::ReadOnly) || !p.isSet("media")) p.showHelp(2);
    const QJsonObject course = QJsonDocument::fromJson(f.readAll()).object();
    int failed = 0, made = 0;
    for (const LessonKind* kind : AllKinds()) {
      const QDir folder(QDir(p.value("media")).filePath(kind->soundFolder));
      for (const QJsonValue& v : course.value(kind->key).toObject().value("items").toArray()) {
        const QJsonObject item = v.toObject();
        const QString name = item.value("name").toString();
        const QString sound = item.value("sound").toString();
        if (sound.isEmpty()) continue;
        if (sound != RecordingFileName(*kind, name))
          std::fprintf(stderr, "tindora_speak: %s is not named as the editor would name it\n",
                       qPrintable(sound));
        const bool ok = SpeakInto(SpeechFor(*kind, name, item.value("text").toString()), 1.0,
                                  folder.filePath(sound));
        ok ? ++made : ++failed;
      }
    }
    std::printf("tindora_speak: %d recordings made, %d failed\n", made, failed);
    return failed ? 1 : 0;
  }

  const LessonKind* kind = KindByKey(p.value("kind"));
  if (!kind || !p.isSet("name") || p.positionalArguments().size() != 1) p.showHelp(2);
  ItemSpeech speech = SpeechFor(*kind, p.value("name"), p.value("text"));
  if (p.isSet("rate")) speech.settings.rate = p.value("rate").toInt();
  if (p.isSet("pitch")) speech.settings.pitch = p.value("pitch").toInt();
  return SpeakInto(speech, p.value("volume").toDouble(), p.positionalArguments().first()) ? 0 : 1;
}
