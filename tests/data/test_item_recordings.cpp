// SPDX-License-Identifier: GPL-3.0-or-later
// Speaking an item and naming its recording as the sample course does, for the three kinds.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "data/item_recordings.h"
#include "data/lesson_database.h"
#include "data/lesson_kinds.h"
#include "platform/wav_file.h"

Q_DECLARE_METATYPE(LessonKindId)

class ItemRecordingsTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void speaksEachKind_data() {
    QTest::addColumn<LessonKindId>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("said");
    QTest::addColumn<double>("least");  // plausible length in seconds
    QTest::addColumn<double>("most");
    QTest::newRow("character with pinyin") << LessonKindId::Character << "一"
                                           << "yī  一个  一天"
                                           << "yī，一个" << 0.5 << 2.0;
    QTest::newRow("character without pinyin") << LessonKindId::Character << "山"
                                              << ""
                                              << "山" << 0.2 << 1.5;
    QTest::newRow("poem") << LessonKindId::Poem << "静夜思"
                          << "唐·李白\n床前明月光，疑是地上霜。\n举头望明月，低头思故乡。"
                          << "静夜思。唐，李白。床前明月光，疑是地上霜。举头望明月，低头思故乡。"
                          << 5.0 << 14.0;
    QTest::newRow("English") << LessonKindId::English << "watermelon"
                             << "西瓜"
                             << "watermelon" << 0.4 << 2.0;
  }
  void speaksEachKind() {
    QFETCH(LessonKindId, kind);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, said);
    QFETCH(double, least);
    QFETCH(double, most);
    const ItemSpeech speech = SpeechFor(Kind(kind), name, text);
    QCOMPARE(speech.text, said);
    QCOMPARE(speech.settings.voice,
             kind == LessonKindId::English ? platform::Voice::English : platform::Voice::Mandarin);
    platform::Samples samples;
    QString error;
    QVERIFY2(Speak(speech, &samples, &error), qPrintable(error));
    const double seconds = static_cast<double>(samples.size()) / platform::kRecordingRate;
    QVERIFY2(seconds >= least && seconds <= most, qPrintable(QString::number(seconds)));
    // Sound within the first tenth of a second: the silence before it is trimmed.
    QVERIFY(std::any_of(samples.begin(), samples.begin() + platform::kRecordingRate / 10,
                        [](std::int16_t s) { return std::abs(int{s}) > 500; }));
    const QByteArray wav = platform::WavBytes(samples);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.size(), 44 + static_cast<qsizetype>(samples.size()) * 2);
  }

  // The editor names new recordings as the sample course names its own, in the user's folder.
  void namesAsTheSampleCourse_data() {
    QTest::addColumn<LessonKindId>("kind");
    QTest::newRow("character") << LessonKindId::Character;
    QTest::newRow("poem") << LessonKindId::Poem;
    QTest::newRow("English") << LessonKindId::English;
  }
  void namesAsTheSampleCourse() {
    QFETCH(LessonKindId, kind);
    const LessonKind& k = Kind(kind);
    const QJsonArray items = QJsonDocument::fromJson(SampleCourseJson())
                                 .object()
                                 .value(k.key)
                                 .toObject()
                                 .value("items")
                                 .toArray();
    QVERIFY(!items.isEmpty());
    for (const QJsonValue& v : items)
      QCOMPARE(RecordingFileName(k, v.toObject().value("name").toString()),
               v.toObject().value("sound").toString());
    QCOMPARE(RecordingsFolder(k),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
                 k.soundFolder);
    // Nothing in a name may lead the file out of the folder or hide it.
    QCOMPARE(RecordingFileName(k, QStringLiteral("../a/b")), kind == LessonKindId::English
                                                                 ? QStringLiteral("_._A_B.wav")
                                                                 : QStringLiteral("_._a_b.wav"));
    // Long names: kept whole up to 120 bytes, past them cut and told apart by a digest.
    const QString at(40, QChar(0x5B57)), past(41, QChar(0x5B57));
    QCOMPARE(RecordingFileName(k, at), at + ".wav");
    const QString cut = RecordingFileName(k, past), cutAgain = RecordingFileName(k, past + "x");
    QVERIFY2(cut.toUtf8().size() <= 124 && cut != cutAgain && cut.startsWith(QString(37, QChar(0x5B57))),
             qPrintable(cut));
  }
};

QTEST_GUILESS_MAIN(ItemRecordingsTest)
#include "test_item_recordings.moc"
