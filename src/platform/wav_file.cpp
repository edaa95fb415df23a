// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wav_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr int kWindow =
    kRecordingRate / 100;         // 10 ms: the unit in which sound or silence is judged
constexpr int kNoiseFloor = 100;  // about -50 dBFS
constexpr int kLeastPeak = 300;   // quieter than this overall: nothing was heard
constexpr int kMargin = 2;        // windows kept before the first and after the last sound
constexpr double kTargetPeak = 0.708 * 32767;  // -3 dBFS
constexpr int kFadeIn = kRecordingRate * 5 / 1000;
constexpr int kFadeOut = kRecordingRate * 20 / 1000;
constexpr int kTail = kRecordingRate * 30 / 1000;

// Gives the finished file its name. Without `replace` an existing name is refused, also one that
// appeared while the file was being written.
bool MoveIntoPlace(const QByteArray& from, const QByteArray& to, bool replace) {
  if (replace) return ::rename(from.constData(), to.constData()) == 0;
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE: a hard link refuses an existing name as well.
  if (::link(from.constData(), to.constData()) != 0) return false;
  ::unlink(from.constData());
  return true;
}

}  // namespace

QByteArray WavBytes(const Samples& samples) {
  const auto dataBytes = static_cast<quint32>(samples.size() * 2);
  QByteArray wav(44, 0);
  char* p = wav.data();
  std::memcpy(p, "RIFF", 4);
  qToLittleEndian<quint32>(36 + dataBytes, p + 4);
  std::memcpy(p + 8, "WAVEfmt ", 8);
  qToLittleEndian<quint32>(16, p + 16);
  qToLittleEndian<quint16>(1, p + 20);  // PCM
  qToLittleEndian<quint16>(1, p + 22);  // mono
  qToLittleEndian<quint32>(kRecordingRate, p + 24);
  qToLittleEndian<quint32>(kRecordingRate * 2, p + 28);
  qToLittleEndian<quint16>(2, p + 32);
  qToLittleEndian<quint16>(16, p + 34);
  std::memcpy(p + 36, "data", 4);
  qToLittleEndian<quint32>(dataBytes, p + 40);
  wav.reserve(44 + dataBytes);
  for (std::int16_t s : samples) {
    char le[2];
    qToLittleEndian<qint16>(s, le);
    wav.append(le, 2);
  }
  return wav;
}

Samples Tidy(const Samples& samples, double maxPause) {
  const std::size_t windows = (samples.size() + kWindow - 1) / kWindow;
  std::vector<int> peaks(windows, 0);
  int peak = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    int& w = peaks[i / kWindow];
    w = std::max(w, std::abs(int{samples[i]}));
    peak = std::max(peak, w);
  }
  if (peak < kLeastPeak) return {};
  // Relative as well as absolute, so a microphone's steady hiss counts as silence.
  const int threshold = std::max(kNoiseFloor, peak / 50);
  std::vector<bool> loud(windows);
  for (std::size_t w = 0; w < windows; ++w) loud[w] = peaks[w] > threshold;
  const auto first =
      static_cast<std::size_t>(std::find(loud.begin(), loud.end(), true) - loud.begin());
  const auto last =
      windows - 1 -
      static_cast<std::size_t>(std::find(loud.rbegin(), loud.rend(), true) - loud.rbegin());
  const std::size_t from = first >= kMargin ? first - kMargin : 0;
  const std::size_t to = std::min(windows - 1, last + kMargin);

  // The windows to keep: inside long pauses only the first and last halves of `maxPause`.
  const auto pauseWindows = static_cast<std::size_t>(maxPause * 100);
  std::vector<bool> keep(windows, false);
  for (std::size_t w = from; w <= to;) {
    if (loud[w] || pauseWindows == 0) {
      keep[w++] = true;
      continue;
    }
    std::size_t end = w;
    while (end <= to && !loud[end]) ++end;
    const std::size_t run = end - w;
    for (std::size_t i = 0; i < run; ++i)
      keep[w + i] = run <= pauseWindows || i < pauseWindows / 2 || run - i <= pauseWindows / 2;
    w = end;
  }

  const double gain = kTargetPeak / peak;
  Samples out;
  out.reserve((to - from + 1) * kWindow + kTail);
  for (std::size_t w = from; w <= to; ++w) {
    if (!keep[w]) continue;
    const std::size_t end = std::min(samples.size(), (w + 1) * kWindow);
    for (std::size_t i = w * kWindow; i < end; ++i)
      out.push_back(
          static_cast<std::int16_t>(std::clamp(std::lround(samples[i] * gain), -32768L, 32767L)));
  }
  const std::size_t n = out.size();
  for (std::size_t i = 0; i < std::min<std::size_t>(kFadeIn, n); ++i)
    out[i] = static_cast<std::int16_t>(out[i] * static_cast<double>(i) / kFadeIn);
  for (std::size_t i = 0; i < std::min<std::size_t>(kFadeOut, n); ++i)
    out[n - 1 - i] = static_cast<std::int16_t>(out[n - 1 - i] * static_cast<double>(i) / kFadeOut);
  out.insert(out.end(), kTail, 0);
  return out;
}

bool SaveWav(const Samples& samples, const QString& path, Overwrite overwrite, QString* error) {
  return SaveFile(WavBytes(samples), path, overwrite, error);
}

bool SaveFile(const QByteArray& wav, const QString& path, Overwrite overwrite, QString* error) {
  auto fail = [error](const QString& message) {
    if (error) *error = message;
    return false;
  };
  const QFileInfo target(path);
  if (overwrite == Overwrite::Never && target.exists())
    return fail(QStringLiteral("已经有同名的声音文件：%1").arg(QDir::toNativeSeparators(path)));
  const QString folder = target.absolutePath();
  if (!QDir().mkpath(folder))
    return fail(
        QStringLiteral("不能建立文件夹“%1”，声音没有保存。").arg(QDir::toNativeSeparators(folder)));

  QTemporaryFile part(
      QDir(folder).filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.completeBaseName())));
  if (!part.open())
    return fail(QStringLiteral("不能在“%1”里保存声音文件（%2）。")
                    .arg(QDir::toNativeSeparators(folder), part.errorString()));
  // The data must be on the disk before the name points at it, or a crash right after the
  // rename could still leave a short file under the final name.
  if (part.write(wav) != wav.size() || !part.flush() || ::fsync(part.handle()) != 0)
    return fail(
        QStringLiteral("声音文件没有保存：磁盘已满或者不能写入（%1）。").arg(part.errorString()));
  part.close();
  if (!MoveIntoPlace(QFile::encodeName(part.fileName()), QFile::encodeName(path),
                     overwrite == Overwrite::Replace)) {
    const int why = errno;
    return fail(why == EEXIST
                    ? QStringLiteral("已经有同名的声音文件：%1").arg(QDir::toNativeSeparators(path))
                    : QStringLiteral("声音文件没有保存（%1）。")
                          .arg(QString::fromLocal8Bit(std::strerror(why))));
  }
  part.setAutoRemove(false);
  return true;
}

bool ReadWav(const QString& path, Samples* out, int* rate) {
  out->clear();
  const QFileInfo info(path);
  if (!info.isFile() || info.isSymLink() || info.size() > kWavReadLimit || info.size() < 44)
    return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.read(kWavReadLimit);
  if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return false;
  int channels = 0, bits = 0;
  for (qsizetype at = 12; at + 8 <= bytes.size();) {
    const QByteArray id = bytes.mid(at, 4);
    const qint64 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
    const qsizetype body = at + 8;
    const qsizetype length = qsizetype(qMin<qint64>(size, bytes.size() - body));
    if (id == "fmt " && length >= 16) {
      const auto* f = bytes.constData() + body;
      if (qFromLittleEndian<quint16>(f) != 1) return false;  // PCM only
      channels = qFromLittleEndian<quint16>(f + 2);
      *rate = int(qFromLittleEndian<quint32>(f + 4));
      bits = qFromLittleEndian<quint16>(f + 14);
    } else if (id == "data") {
      if ((bits != 8 && bits != 16) || channels < 1 || channels > 2 || *rate <= 0) return false;
      const int frameBytes = channels * bits / 8;
      const qsizetype frames = length / frameBytes;
      out->reserve(size_t(frames));
      const auto* d = reinterpret_cast<const uchar*>(bytes.constData() + body);
      for (qsizetype i = 0; i < frames; ++i) {
        int sum = 0;
        for (int c = 0; c < channels; ++c) {
          const uchar* s = d + i * frameBytes + c * (bits / 8);
          sum += bits == 8 ? (int(s[0]) - 128) * 256 : int(qFromLittleEndian<qint16>(s));
        }
        out->push_back(std::int16_t(sum / channels));
      }
      return true;
    }
    at = body + qsizetype(qMin<qint64>(size + (size & 1), bytes.size()));
  }
  return false;
}

}  // namespace platform
