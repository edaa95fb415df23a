// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/practice_log.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSysInfo>
#include <QThread>
#include <QWaitCondition>
#include <memory>

#include "platform/clock.h"
#include "platform/logging.h"
#include "records/record_store.h"

namespace records {

static_assert(int(LessonKindId::Character) == int(Module::Character) &&
              int(LessonKindId::Poem) == int(Module::Poem) &&
              int(LessonKindId::English) == int(Module::English));

namespace {

// Notes kept for another try after failed writes; beyond this the oldest are given up.
constexpr qsizetype kRetryLimit = 1000;

// The writer thread with its own connection, so that a slow or absent server never holds up
// the screens.
class Writer final : public QThread {
 public:
  explicit Writer(const QString& source) : m_source(source) {}

  void Add(const Record& note) {
    QMutexLocker lock(&m_mutex);
    m_queue << note;
    ++m_added;
    m_wake.wakeOne();
  }

  bool WaitTried(int ms) {
    QMutexLocker lock(&m_mutex);
    const quint64 target = m_added;
    const QDeadlineTimer deadline(ms);
    while (m_tried < target)
      if (!m_done.wait(&m_mutex, deadline)) return false;
    return true;
  }

  void Finish() {
    {
      QMutexLocker lock(&m_mutex);
      m_stopping = true;
      m_wake.wakeOne();
    }
    wait();
  }

 protected:
  void run() override {
    static QAtomicInt count = 0;
    const QString name = QStringLiteral("learn-record-writer-%1").arg(++count);
    {
      QSqlDatabase db = QSqlDatabase::cloneDatabase(m_source, name);
      QList<Record> retry;
      for (;;) {
        QList<Record> batch;
        quint64 upTo = 0;
        {
          QMutexLocker lock(&m_mutex);
          while (m_queue.isEmpty() && !m_stopping) m_wake.wait(&m_mutex);
          if (m_queue.isEmpty()) break;
          batch = retry + m_queue;
          m_queue.clear();
          upTo = m_added;
        }
        retry.clear();
        QString error;
        if (!db.isOpen() && !db.open()) error = db.lastError().text().trimmed();
        if (error.isEmpty() && WriteRecords(name, batch, &error)) {
          qCDebug(lcDb) << "learning record: wrote" << batch.size() << "notes";
        } else {
          qCWarning(lcDb) << "learning record: cannot write" << batch.size() << "notes:" << error;
          db.close();  // the next try reconnects
          retry = batch.mid(qMax<qsizetype>(0, batch.size() - kRetryLimit));
        }
        QMutexLocker lock(&m_mutex);
        m_tried = upTo;
        m_done.wakeAll();
      }
      if (!retry.isEmpty())
        qCWarning(lcDb) << "learning record:" << retry.size() << "notes given up at the end";
      db.close();
    }
    QSqlDatabase::removeDatabase(name);
  }

 private:
  const QString m_source;
  QMutex m_mutex;
  QWaitCondition m_wake;
  QWaitCondition m_done;
  QList<Record> m_queue;
  quint64 m_added = 0;
  quint64 m_tried = 0;
  bool m_stopping = false;
};

std::unique_ptr<Writer>& TheWriter() {
  static std::unique_ptr<Writer> writer;
  return writer;
}

void Queue(Record note) {
  Writer* writer = TheWriter().get();
  if (!writer) return;
  note.machine = MachineName();
  note.at = platform::CurrentClock().Now();
  writer->Add(note);
}

}  // namespace

void Start(const QString& connectionName) {
  Stop();
  TheWriter() = std::make_unique<Writer>(connectionName);
  TheWriter()->start(QThread::LowPriority);
}

void Stop() {
  if (!TheWriter()) return;
  TheWriter()->Finish();
  TheWriter().reset();
}

bool Flush(int ms) { return !TheWriter() || TheWriter()->WaitTried(ms); }

void Note(LessonKindId kind, const QString& item) {
  Record note;
  note.module = Module(int(kind));
  note.item = item;
  Queue(note);
}

void NoteWriting(const QString& character, int missed) {
  Record note;
  note.module = Module::Writing;
  note.item = character;
  note.score = missed;
  Queue(note);
}

void NoteDrill(const QString& operation, const QStringList& marks, int score) {
  Record note;
  note.module = Module::Drill;
  note.operation = operation;
  note.results = EncodeMarks(marks);
  note.score = score;
  Queue(note);
}

QString MachineName() {
  static const QString name = QSysInfo::machineHostName();
  return name;
}

}  // namespace records
