// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/prompt_player.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include "data/item_recordings.h"
#include "platform/logging.h"
#include "platform/sound.h"

namespace {

const QString kPromptsSetting = QStringLiteral("prompts/spoken");
const platform::SpeechSettings kPromptVoice{platform::Voice::Mandarin, 140, 55};

QString CachedPath(const QString& text) {
  const QString folder =
      QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/prompts");
  // The voice is part of the key: a changed voice makes the prompts again.
  const QByteArray key = QStringLiteral("%1|%2|%3")
                             .arg(text)
                             .arg(kPromptVoice.rate)
                             .arg(kPromptVoice.pitch)
                             .toUtf8();
  return folder + QLatin1Char('/') +
         QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex()) +
         QStringLiteral(".wav");
}

// One thread makes the prompts, one after the other; the program waits for it when it ends.
QThreadPool& MakerPool() {
  static QThreadPool pool;
  pool.setMaxThreadCount(1);
  return pool;
}

// Starts the hover timer on entering, stops it on leaving, speaks on a press.
class ButtonSpeaker : public QObject {
 public:
  ButtonSpeaker(QAbstractButton* button, const QString& text)
      : QObject(button), m_text(text), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(kPromptHoverMs);
    connect(m_timer, &QTimer::timeout, this, [this] { SayPrompt(m_text); });
    connect(button, &QAbstractButton::pressed, this, [this] {
      m_timer->stop();
      SayPrompt(m_text);
    });
    button->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Enter) m_timer->start();
    if (event->type() == QEvent::Leave || event->type() == QEvent::Hide) m_timer->stop();
    return QObject::eventFilter(watched, event);
  }

 private:
  QString m_text;
  QTimer* m_timer;
};

}  // namespace

bool PromptsOn() { return QSettings().value(kPromptsSetting, true).toBool(); }

void SetPromptsOn(bool on) {
  QSettings().setValue(kPromptsSetting, on);
  // Switched off in the middle of one: it stops now.
  if (!on) platform::PlaySound(QString());
}

QString PromptFile(const QString& text, QString* error) {
  const QString file = CachedPath(text);
  if (QFileInfo(file).isFile()) return file;
  platform::Samples samples;
  QString why;
  // Written beside and renamed: a prompt being made by two threads is never read half-written.
  const QString part = file + QStringLiteral(".%1.part").arg(quintptr(QThread::currentThreadId()));
  if (!QDir().mkpath(QFileInfo(file).path())) {
    why = QStringLiteral("无法建立语音缓存文件夹 %1").arg(QFileInfo(file).path());
  } else if (Speak({text, kPromptVoice}, &samples, &why) &&
             platform::SaveWav(samples, part, platform::Overwrite::Replace, &why)) {
    QFile::remove(file);
    if (QFile::rename(part, file)) return file;
    why = QStringLiteral("无法保存语音文件 %1").arg(file);
  }
  QFile::remove(part);
  qCInfo(lcSound) << "no prompt for" << text << why;
  if (error) *error = why;
  return {};
}

// Makes the files for `texts` one after the other on a thread of its own.
void PreparePrompts(const QStringList& texts) {
  QStringList missing;
  for (const QString& t : texts)
    if (!t.isEmpty() && !QFileInfo(CachedPath(t)).isFile()) missing << t;
  if (missing.isEmpty()) return;
  MakerPool().start([missing] {
    for (const QString& t : missing) PromptFile(t);
  });
}

void WaitForPrompts() { MakerPool().waitForDone(); }

bool SayPrompt(const QString& text) {
  if (text.isEmpty() || !PromptsOn()) return false;
  const QString cached = CachedPath(text);
  // One not made yet is made for the next time rather than played late over whatever follows.
  if (!QFileInfo(cached).isFile()) {
    PreparePrompts({text});
    return false;
  }
  platform::PlaySound(cached);
  return true;
}

void SpeakButton(QAbstractButton* button, const QString& text) {
  new ButtonSpeaker(button, text);
}

QStringList StandardPrompts() {
  return {QStringLiteral("谁来学习？"), QStringLiteral("幼儿识字"), QStringLiteral("幼儿学诗"),
          QStringLiteral("幼儿学英语"), QStringLiteral("幼儿算数"), QStringLiteral("幼儿写字"),
          QStringLiteral("听音找字"), QStringLiteral("关于版权"), QStringLiteral("学习记录"),
          QStringLiteral("换小朋友"), QStringLiteral("今天的学习"), QStringLiteral("贴纸册"), QStringLiteral("最小化"), QStringLiteral("退出"),
          QStringLiteral("听一听，找一找"), QStringLiteral("真棒！找对了！"),
          QStringLiteral("太好了！"), QStringLiteral("对啦，你真厉害！"), QStringLiteral("好耳朵！"),
          QStringLiteral("全对了，太棒了！"), QStringLiteral("真棒！"), QStringLiteral("写得真好！"),
          QStringLiteral("太棒了！"),
          QStringLiteral("认一认新字"), QStringLiteral("写一个字"), QStringLiteral("复习学过的字"),
          QStringLiteral("念一句诗"), QStringLiteral("今天的学习完成了，真棒！")};
}
