// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a lesson pack's ZIP file safely: entry names that stay inside the pack, no links, sizes
// and compression ratios within the limits, and the bytes really unpacked counted against what
// the directory declares. Used within packs/ only.
#pragma once

#include <quazip.h>
#include <quazipfileinfo.h>

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <memory>

#include "packs/lesson_pack.h"
#include "packs/pack_manifest.h"

namespace packs {

QString DamagedMessage(const QString& file);
QString TooLargeMessage();

// A ZIP file seen without its comment. minizip looks for the end of the directory only in the
// last 64 KiB, out of reach behind a comment of up to 65,535 bytes; the record found here by hand
// is shown with a comment length of 0 and nothing after it.
class WithoutComment final : public QIODevice {
 public:
  // False when `file` has no end record whose comment reaches the end of the file.
  bool Open(const QString& file);
  bool isSequential() const override { return false; }
  qint64 size() const override { return m_end; }

 protected:
  qint64 readData(char* data, qint64 max) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  static constexpr qint64 kEndRecord = 22;  // without its comment
  QFile m_file;
  qint64 m_end = 0;
};

bool SafeEntryName(const QString& name);

// Checks what the central directory says about an entry; empty when acceptable.
QString CheckEntry(const QuaZipFileInfo64& info, const PackLimits& limits);

enum class Unpacked { Ok, Damaged, TooLarge, WriteFailed };

// A pack opened and its manifest read, every entry and the whole manifest judged.
struct OpenedPack {
  WithoutComment withoutComment;  // outlives the zip reading through it
  std::unique_ptr<QuaZip> zip;
  QHash<QString, QuaZipFileInfo64> entries;
  qint64 budget = 0;  // what the entries may still unpack to
  const LessonKind* kind = nullptr;
  QVector<PackChapter> chapters;
};

// Opens `file` under `limits`; the user's message when it is refused, else empty. With
// `expected` set, a pack of another kind is refused.
QString OpenPack(const QString& file, const LessonKind* expected, const PackLimits& limits,
                 OpenedPack* pack);

// Unpacks the zip's current entry into `out`, counting the bytes really produced: the declared
// size may lie. `budget` is what all entries together may still produce.
Unpacked UnpackCurrent(QuaZip& zip, qint64 declared, QIODevice& out, qint64* budget,
                       QByteArray* head = nullptr);

}  // namespace packs
