// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/practice_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QScopeGuard>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QUuid>
#include <QWaitCondition>
#include <cerrno>
#include <cstring>
#include <memory>

#include "app/current_child.h"
#include "platform/clock.h"
#include "platform/db_watchdog.h"
#include "platform/logging.h"
#include "data/record_store.h"

namespace records {

static_assert(int(LessonKindId::Character) == int(Module::Character) &&
              int(LessonKindId::Poem) == int(Module::Poem) &&
              int(LessonKindId::English) == int(Module::English));

namespace {

// Notes written in one transaction.
constexpr qsizetype kBatch = 500;
// Pauses between tries while the database refuses: doubled after each failure up to the longest.
constexpr int kFirstPauseMs = 1000;
constexpr int kLongestPauseMs = 60000;
// While draining the spool, how often it is rewritten without the notes stored meanwhile.
constexpr int kSpoolRewriteMs = 5000;

QByteArray SpoolLine(const Record& n) {
  return QJsonDocument(QJsonObject{{QStringLiteral("id"), n.id},
                                   {QStringLiteral("machine"), n.machine},
                                   {QStringLiteral("at"), n.at.toString(Qt::ISODateWithMs)},
                                   {QStringLiteral("module"), int(n.module)},
                                   {QStringLiteral("item"), n.item},
                                   {QStringLiteral("operation"), n.operation},
                                   {QStringLiteral("results"), n.results},
                                   {QStringLiteral("score"), n.score},
                                   {QStringLiteral("child"), n.child}})
      .toJson(QJsonDocument::Compact);
}

Record ParseSpoolLine(const QByteArray& line, bool* ok) {
  const QJsonObject o = QJsonDocument::fromJson(line).object();
  Record n;
  n.id = o.value(QStringLiteral("id")).toString();
  n.machine = o.value(QStringLiteral("machine")).toString();
  n.at = QDateTime::fromString(o.value(QStringLiteral("at")).toString(), Qt::ISODateWithMs);
  const int module = o.value(QStringLiteral("module")).toInt(-1);
  *ok = !n.id.isEmpty() && !n.machine.isEmpty() && n.at.isValid() && module >= 0 &&
        module < kModuleCount;
  if (!*ok) return n;
  n.module = Module(module);
  n.item = o.value(QStringLiteral("item")).toString();
  n.operation = o.value(QStringLiteral("operation")).toString();
  n.results = o.value(QStringLiteral("results")).toString();
  n.score = o.value(QStringLiteral("score")).toInt();
  // Spools from before profiles have no child: their notes stay unassigned.
  n.child = qMax(0, o.value(QStringLiteral("child")).toInt(children::kNoChild));
  return n;
}

// Whether `file` may be read and replaced as our spool: absent, or a regular file of this user.
// Anything else (a link, a FIFO, a device, someone else's file) is left alone.
bool SpoolIsOurs(const QString& file, bool* exists = nullptr) {
  struct stat st {};
  if (::lstat(QFile::encodeName(file).constData(), &st) != 0) {
    if (exists) *exists = false;
    return errno == ENOENT;
  }
  if (exists) *exists = true;
  if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) return true;
  qCWarning(lcDb) << "learning record: the spool" << file
                  << "is not a regular file of this user, left alone";
  return false;
}

SpoolStepHook& StepHook() {
  static SpoolStepHook hook;
  return hook;
}

void Step(SpoolStep step) {
  if (StepHook()) StepHook()(step);
}

// The spool opened for reading, or -1: only a regular file of our own, never through a link, and
// never waiting on a pipe.
int OpenSpool(const QString& file, struct stat* st) {
  const int fd = ::open(QFile::encodeName(file).constData(),
                        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno != ENOENT)
      qCWarning(lcDb) << "learning record: the spool" << file << "is not read:" << strerror(errno);
    return -1;
  }
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode) || st->st_uid != ::geteuid()) {
    qCWarning(lcDb) << "learning record: the spool" << file
                    << "is not a regular file of this user, not read";
    ::close(fd);
    return -1;
  }
  return fd;
}

// The spool's notes, at most the newest kSpoolBytes of it; lines that do not read as a note (a
// torn disk block, garbage) are skipped.
QList<Record> ReadSpool(const QString& file) {
  QList<Record> notes;
  struct stat st {};
  const int fd = OpenSpool(file, &st);
  if (fd < 0) return notes;
  const auto closeFd = qScopeGuard([fd] { ::close(fd); });
  // Beyond the bound only the newest notes count, as with kSpoolLimit: start on a line boundary.
  bool skipping = false;
  if (st.st_size > kSpoolBytes) {
    qCWarning(lcDb) << "learning record: spool of" << st.st_size << "bytes, only the newest"
                    << kSpoolBytes << "read";
    if (::lseek(fd, st.st_size - kSpoolBytes, SEEK_SET) < 0) return notes;
    skipping = true;
  }
  QByteArray line;
  qint64 left = kSpoolBytes;
  char buffer[64 * 1024];
  int skipped = 0;
  const auto take = [&] {
    bool ok = false;
    const Record n = ParseSpoolLine(line, &ok);
    if (ok) {
      notes << n;
      // Only the newest count: held as they come, the older ones took 200 MB.
      if (notes.size() > kSpoolLimit) notes.removeFirst();
    } else if (!line.trimmed().isEmpty()) {
      ++skipped;
    }
    line.clear();
  };
  while (left > 0) {
    const ssize_t got = ::read(fd, buffer, size_t(qMin<qint64>(sizeof buffer, left)));
    if (got <= 0) break;
    left -= got;
    for (ssize_t i = 0; i < got;) {
      const char* nl = static_cast<const char*>(std::memchr(buffer + i, '\n', size_t(got - i)));
      const ssize_t end = nl ? nl - buffer : got;
      if (!skipping) {
        // A line longer than any note is garbage: dropped as it streams by, never held whole.
        if (line.size() + (end - i) >= kSpoolLineBytes) {
          skipping = true;
          ++skipped;
          line.clear();
        } else {
          line.append(buffer + i, end - i);
        }
      }
      if (!nl) break;
      if (!skipping) take();
      skipping = false;
      i = end + 1;
    }
  }
  if (!skipping) take();
  if (skipped > 0) qCWarning(lcDb) << "learning record:" << skipped << "spool lines not notes";
  return notes;
}

// Replaces the spool with `head` (spool lines as they were) followed by `notes`: written to a new
// file of our own beside it, then renamed over it, so a link in its place is replaced, never
// written through, and a process ended on the way leaves the old spool or the new one whole.
bool PutSpool(const QString& file, const QByteArray& head, const QList<Record>& notes, bool atExit) {
  const QFileInfo info(file);
  QDir().mkpath(info.absolutePath());
  QByteArray temporary =
      QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  bool ok = fd >= 0;
  if (ok) {
    if (atExit) Step(SpoolStep::ExitFileMade);
    QByteArray all = head;
    for (const Record& n : notes) all += SpoolLine(n) + '\n';
    for (qsizetype done = 0; ok && done < all.size();) {
      const ssize_t put = ::write(fd, all.constData() + done, size_t(all.size() - done));
      if (put <= 0) ok = false;
      done += put;
    }
    if (atExit) Step(SpoolStep::ExitWritten);
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    if (atExit) Step(SpoolStep::ExitSynced);
    ok = ok && ::rename(temporary.constData(), QFile::encodeName(file).constData()) == 0;
    if (!ok) ::unlink(temporary.constData());
    if (ok && atExit) Step(SpoolStep::ExitReplaced);
  }
  if (!ok)
    qCWarning(lcDb) << "learning record: cannot keep" << notes.size() << "notes in" << file
                    << strerror(errno);
  return ok;
}

// Replaces the spool whole with the notes the writer holds, which include what it read from it.
// No notes, no spool.
bool WriteSpool(const QString& file, const QList<Record>& notes, bool atExit = false) {
  bool exists = false;
  if (!SpoolIsOurs(file, &exists)) return false;
  if (notes.isEmpty()) {
    if (exists) ::unlink(QFile::encodeName(file).constData());
    return true;
  }
  return PutSpool(file, {}, notes, atExit);
}

// Adds notes to a spool that the writer has not taken in yet: its lines (the newest kSpoolBytes,
// all that a reader takes) are kept as they are and the notes follow.
bool AddToSpool(const QString& file, const QList<Record>& notes) {
  if (notes.isEmpty()) return true;
  if (!SpoolIsOurs(file)) return false;
  QByteArray head;
  struct stat st {};
  const int fd = OpenSpool(file, &st);
  if (fd >= 0) {
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    const qint64 from = qMax<qint64>(0, st.st_size - kSpoolBytes);
    head.resize(st.st_size - from);
    qint64 got = 0;
    while (got < head.size()) {
      const ssize_t n = ::pread(fd, head.data() + got, size_t(head.size() - got), from + got);
      if (n <= 0) break;
      got += n;
    }
    head.truncate(got);
    // Cut into a line: start on the next one.
    if (from > 0) head.remove(0, head.indexOf('\n') + 1);
    if (!head.isEmpty() && !head.endsWith('\n')) head += '\n';
  }
  return PutSpool(file, head, notes, true);
}

// Removes what a WriteSpool cut short by the end of the process left beside the spool. A minute
// old at least: another copy of the program may be writing its own just now.
void SweepSpoolLeftovers(const QString& file) {
  const QFileInfo info(file);
  const QDir dir = info.absoluteDir();
  const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-60);
  for (const QFileInfo& left :
       dir.entryInfoList({QStringLiteral(".") + info.fileName() + QStringLiteral(".??????")},
                         QDir::Files | QDir::Hidden | QDir::System))
    if (!left.isSymLink() && left.lastModified().toUTC() < before)
      QFile::remove(left.absoluteFilePath());
}

// The writer thread with its own connection, so that a slow or absent server never holds up
// the screens.
class Writer final : public QThread {
 public:
  Writer(const QString& source, const QString& spool)
      : m_source(source), m_spool(spool), m_beside(spool + QStringLiteral(".kept")) {
    static QAtomicInt count = 0;
    m_name = QStringLiteral("learn-record-writer-%1").arg(++count);
  }

  void Add(const Record& note) {
    QMutexLocker lock(&m_mutex);
    m_pending << note;
    m_unspooled << note;
    if (m_pending.size() > kSpoolLimit) {
      m_pending.removeFirst();
      qCWarning(lcDb) << "learning record: spool full, the oldest note given up";
    }
    if (m_unspooled.size() > kSpoolLimit) m_unspooled.removeFirst();
    ++m_added;
    m_wake.wakeOne();
  }

  bool WaitTried(int ms) {
    QMutexLocker lock(&m_mutex);
    const QDeadlineTimer deadline(ms);
    // The spool's notes count as made before any of this run's.
    while (!m_spoolTaken)
      if (!m_done.wait(&m_mutex, deadline)) return false;
    const quint64 target = m_added;
    while (m_tried < target)
      if (!m_done.wait(&m_mutex, deadline)) return false;
    return true;
  }

  // True when the thread ended; otherwise it is stuck in the driver, and its notes are spooled.
  bool Finish() {
    {
      QMutexLocker lock(&m_mutex);
      m_stopping = true;
      m_wake.wakeOne();
    }
    // The whole wait stays well inside kStopWaitMs: spooling and the rest of the ending follow.
    const QDeadlineTimer end(kStopWaitMs * 3 / 4);
    if (wait(QDeadlineTimer(kStopWaitMs / 2))) return true;
    // A frozen server: cut the statement off so the driver returns.
    platform::CutOff(m_name);
    if (wait(end)) return true;
    QMutexLocker lock(&m_mutex);
    m_abandoned = true;
    // Added to the spool, never instead of it: it may not have been read yet, and once read it
    // holds every note but the newest (a long spool is not written out again while quitting).
    KeepAtEnd(true);
    qCWarning(lcDb) << "learning record: writer stuck at exit," << m_unspooled.size()
                    << "new notes added to the spool";
    return false;
  }

 protected:
  void run() override {
    {
      QSqlDatabase db = QSqlDatabase::cloneDatabase(m_source, m_name);
      // Read here, not where the program starts: a large spool must not hold up the menu.
      SweepSpoolLeftovers(m_spool);
      SweepSpoolLeftovers(m_beside);
      // A spool that is not ours (a link, a pipe) is left alone: the notes go to one beside it.
      if (!SpoolIsOurs(m_spool)) {
        qCWarning(lcDb) << "learning record: notes are kept in" << m_beside << "instead";
        QMutexLocker lock(&m_mutex);
        m_spool = m_beside;
      }
      Step(SpoolStep::Reading);
      QList<Record> spooled = ReadSpool(m_spool);
      // Kept beside it while the spool was not ours: taken in again now that it is.
      bool besideExists = false;
      const bool beside =
          m_spool != m_beside && SpoolIsOurs(m_beside, &besideExists) && besideExists;
      if (beside) spooled = ReadSpool(m_beside) + spooled;
      if (!spooled.isEmpty())
        qCInfo(lcDb) << "learning record:" << spooled.size() << "notes from the spool";
      int pauseMs = 0;
      QDeadlineTimer retryAt;
      QDeadlineTimer spoolWrittenAt(kSpoolRewriteMs);
      bool triedWhileStopping = false;
      QMutexLocker lock(&m_mutex);
      // Left behind at exit: the spool was kept without us.
      if (!m_abandoned) {
        m_pending = spooled + m_pending;
        if (m_pending.size() > kSpoolLimit) m_pending = m_pending.mid(m_pending.size() - kSpoolLimit);
        m_added += quint64(spooled.size());
        m_spoolTaken = true;
        m_done.wakeAll();
        // Its notes are in the spool before the file beside it goes.
        if (beside && Respool()) ::unlink(QFile::encodeName(m_beside).constData());
      }
      for (;;) {
        if (m_abandoned) break;
        if (m_pending.isEmpty()) {
          if (m_stopping) break;
          m_wake.wait(&m_mutex);
          continue;
        }
        // After a failure the spool holds them; at exit they wait there for the next start, after
        // one more batch at most: a long spool drains on the next run, not while quitting.
        if (m_stopping && (pauseMs > 0 || triedWhileStopping)) break;
        triedWhileStopping = m_stopping;
        if (pauseMs > 0 && !retryAt.hasExpired()) {
          m_wake.wait(&m_mutex, retryAt);
          continue;
        }
        const QList<Record> batch = m_pending.mid(0, kBatch);
        const quint64 upTo = m_added;
        lock.unlock();
        QString error;
        if (!db.isOpen() && !platform::OpenDatabase(db)) error = db.lastError().text().trimmed();
        const bool written = error.isEmpty() && WriteRecords(m_name, batch, &error);
        if (!written) db.close();  // the next try reconnects
        lock.relock();
        if (m_abandoned) break;
        if (written) {
          qCDebug(lcDb) << "learning record: wrote" << batch.size() << "notes";
          QSet<QString> done;
          for (const Record& n : batch) done.insert(n.id);
          m_pending.removeIf([&](const Record& n) { return done.contains(n.id); });
          m_unspooled.removeIf([&](const Record& n) { return done.contains(n.id); });
          // Rewritten now and then, not per batch: draining a long spool stays linear. Notes
          // stored but still in it are stored once only when read again.
          if ((pauseMs > 0 || QFileInfo(m_spool).isFile()) &&
              (m_pending.isEmpty() || spoolWrittenAt.hasExpired())) {
            Respool();
            spoolWrittenAt.setRemainingTime(kSpoolRewriteMs);
          }
          pauseMs = 0;
          if (m_pending.isEmpty()) m_tried = upTo;
        } else {
          qCWarning(lcDb) << "learning record: cannot write" << batch.size() << "notes:" << error;
          pauseMs = pauseMs == 0 ? kFirstPauseMs : qMin(pauseMs * 2, kLongestPauseMs);
          retryAt = QDeadlineTimer(pauseMs);
          Respool();
          m_tried = m_added;
        }
        m_done.wakeAll();
      }
      if (!m_abandoned && !m_pending.isEmpty()) {
        KeepAtEnd(false);
        qCWarning(lcDb) << "learning record:" << m_pending.size() << "notes kept in" << m_spool;
      }
      m_tried = m_added;
      m_done.wakeAll();
      lock.unlock();
      db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
  }

 private:
  // The spool written anew with every note waiting; m_mutex held.
  bool Respool() {
    if (!WriteSpool(m_spool, m_pending)) return false;
    m_unspooled.clear();
    return true;
  }
  // At the end, what the spool does not hold yet goes into it: all of m_pending when there is no
  // spool, else only the notes made since it was last written. m_mutex held.
  void KeepAtEnd(bool stuck) {
    if (QFileInfo(m_spool).isFile() || !m_spoolTaken) {
      if (AddToSpool(m_spool, m_unspooled)) m_unspooled.clear();
    } else if (WriteSpool(m_spool, m_pending, stuck)) {
      m_unspooled.clear();
    }
  }

  const QString m_source;
  QString m_spool;  // the spool, or the file beside it when the spool is not ours
  const QString m_beside;
  QString m_name;
  QMutex m_mutex;
  QWaitCondition m_wake;
  QWaitCondition m_done;
  QList<Record> m_pending;     // oldest first
  QList<Record> m_unspooled;  // of m_pending, those the spool does not hold
  quint64 m_added = 0;
  quint64 m_tried = 0;
  bool m_stopping = false;
  bool m_abandoned = false;
  // The spool's notes are in m_pending: from now on it may be replaced with m_pending.
  bool m_spoolTaken = false;
};

std::unique_ptr<Writer>& TheWriter() {
  static std::unique_ptr<Writer> writer;
  return writer;
}

void Queue(Record note) {
  Writer* writer = TheWriter().get();
  if (!writer) return;
  note.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
  note.machine = MachineName();
  note.at = platform::CurrentClock().Now();
  note.child = CurrentChildId();
  writer->Add(note);
}

}  // namespace

QString DefaultSpoolFile() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/practice_notes.spool");
}

void Start(const QString& connectionName, const QString& spoolFile) {
  Stop();
  TheWriter() = std::make_unique<Writer>(connectionName, spoolFile);
  TheWriter()->start(QThread::LowPriority);
}

void Stop() {
  if (!TheWriter()) return;
  // A writer stuck in the driver is left behind: the program is ending.
  if (!TheWriter()->Finish()) (void)TheWriter().release();
  TheWriter().reset();
}

bool Flush(int ms) { return !TheWriter() || TheWriter()->WaitTried(ms); }

void Note(LessonKindId kind, const QString& item) {
  Record note;
  note.module = Module(int(kind));
  note.item = item;
  Queue(note);
}

void NoteWriting(const QString& character, int missed, WritingWay way) {
  Record note;
  note.module = Module::Writing;
  note.item = character;
  if (way != WritingWay::Traced)
    note.operation = QLatin1String(way == WritingWay::Alone    ? kQuizAlone
                                   : way == WritingWay::Helped ? kQuizHelped
                                                               : kUnfinished);
  note.score = missed;
  Queue(note);
}

void NoteDrill(const QString& operation, const QStringList& marks, int score,
               const QStringList& firstAnswers) {
  Record note;
  note.module = Module::Drill;
  note.item = firstAnswers.join(u',');
  note.operation = operation;
  note.results = EncodeMarks(marks);
  note.score = score;
  Queue(note);
}

void SetSpoolStepHook(SpoolStepHook hook) { StepHook() = std::move(hook); }

QString MachineName() {
  static const QString name = QSysInfo::machineHostName();
  return name;
}

}  // namespace records
