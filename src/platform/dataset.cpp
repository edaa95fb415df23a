// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dataset.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "platform/db_watchdog.h"
#include "platform/logging.h"

namespace platform {
namespace {

SqlObserver& Observer() {
  static SqlObserver o;
  return o;
}

void Notify(const QString& connection, const QString& sql) {
  if (Observer()) Observer()(connection, sql);
}

QString ErrorText(const QSqlError& e) {
  QString t = e.text().trimmed();
  return t.isEmpty() ? QStringLiteral("数据库操作失败") : t;
}

// Some ODBC drivers hand back non-ASCII column names with a wrong length: the name proper ends
// at the first NUL.
QString CleanFieldName(const QString& raw) {
  const qsizetype nul = raw.indexOf(QChar(0));
  return nul < 0 ? raw : raw.left(nul);
}

QString Quoted(const QString& identifier) {
  return QLatin1Char('"') + identifier + QLatin1Char('"');
}

#ifdef TINDORA_MUTANT_NO_CHANGE_CRITERIA
constexpr bool kChangeCriteria = false;  // bench_seats_mutant only
#else
constexpr bool kChangeCriteria = true;
#endif

// "column = ?" with the value read, or "column is null".
void AddCriterion(const QString& column, const QVariant& read, QStringList& criteria,
                  QVector<QVariant>& values) {
  if (read.isNull()) {
    criteria << Quoted(column) + QStringLiteral(" is null");
  } else {
    criteria << Quoted(column) + QStringLiteral(" = ?");
    values << read;
  }
}

// What the user is told when the server went away or stopped answering; the driver's words go to
// the log.
QString ConnectionFailure(const QString& connection, bool timedOut, const QString& driverText) {
  qCWarning(lcDb) << "statement failed on" << connection << (timedOut ? "(time limit)" : "")
                  << driverText;
  if (timedOut)
    return QStringLiteral(
               "数据库服务器 %1 秒内没有回答，这一步没有完成。请检查网络和服务器后再试。")
        .arg(StatementTimeLimitMs() / 1000);
  return QStringLiteral("与数据库服务器的连接断开了，这一步没有完成。服务器恢复后再试一次即可。");
}

// Before a statement: a connection lost earlier is opened again. The driver's English words are
// already in the log; a teacher is told only what to do.
bool Reconnected(const QString& connection, QString* error) {
  if (ReconnectIfLost(connection, nullptr)) return true;
  if (error)
    *error = QStringLiteral("无法连接数据库服务器，这一步没有完成。请检查网络和服务器后再试。");
  return false;
}

// A statement that cannot even be prepared may meet a connection some other statement lost
// without telling: it is then reopened before the next one.
QString PrepareFailure(const QSqlQuery& q, const QString& connection) {
  return CheckConnectionLost(connection)
             ? ConnectionFailure(connection, false, q.lastError().text())
             : ErrorText(q.lastError());
}

// Runs a prepared statement under the time limit; on failure `error` says what happened in the
// program's words when the connection is to blame. `lost` tells whether it was.
// The cause of the latest statement Run saw fail on this thread.
thread_local WriteFailure t_failure = WriteFailure::None;

bool Run(QSqlQuery& q, const QString& connection, QString* error, bool* lost = nullptr,
         const std::function<void()>& fetch = {}, const QString& direct = {}) {
  t_failure = WriteFailure::None;
  bool ok = false, timedOut = false;
  {
    StatementWatch watch(connection);
    ok = direct.isEmpty() ? q.exec() : q.exec(direct);
    if (ok && fetch) fetch();
    if (ok && q.lastError().isValid()) ok = false;
    timedOut = watch.TimedOut();
  }
  if (ok) return true;
  const bool gone = timedOut || CheckConnectionLost(connection);
  t_failure = ClassifyFailure(q.lastError(), gone);
  if (lost) *lost = gone;
  if (error)
    *error = gone ? ConnectionFailure(connection, timedOut, q.lastError().text())
                  : ErrorText(q.lastError());
  // A statement cut off by the time limit must not be retried: the server is not answering.
  if (lost && timedOut) *lost = false;
  return false;
}

}  // namespace

WriteFailure ClassifyFailure(const QSqlError& error, bool lost) {
  if (lost) return WriteFailure::ServerAway;
  const QString code = error.nativeErrorCode();
  const QString text = error.text();
  const auto says = [&text](const char* words) {
    return text.contains(QLatin1String(words), Qt::CaseInsensitive);
  };
  // PostgreSQL's SQLSTATE when the driver hands it on, otherwise the words: SQLite's are the same
  // directly and through ODBC, and its result codes cannot be told from other drivers' numbers.
  if (code == QLatin1String("23505") || says("UNIQUE constraint failed") ||
      says("is not unique") || says("duplicate key"))
    return WriteFailure::Duplicate;
  if (code == QLatin1String("53100") || says("disk is full") ||
      says("No space left on device"))
    return WriteFailure::DiskFull;
  if (code == QLatin1String("42501") || says("permission denied"))
    return WriteFailure::NotAllowed;
  if (code == QLatin1String("25006") || says("readonly database") || says("read-only"))
    return WriteFailure::ReadOnly;
  if (code.startsWith(QLatin1String("08")) || says("server closed the connection") ||
      says("no connection to the server") || says("could not receive data"))
    return WriteFailure::ServerAway;
  return WriteFailure::Other;
}

void SetSqlObserver(SqlObserver observer) { Observer() = std::move(observer); }

Dataset::Dataset(const QString& connectionName, QObject* parent)
    : QObject(parent), m_connection(connectionName) {}

QSqlDatabase Dataset::Db() const { return QSqlDatabase::database(m_connection, false); }

bool Dataset::Fail(const QString& error) {
  m_error = error;
  m_failure = WriteFailure::Other;
  return false;
}

void Dataset::SqlClear() {
  m_lines.clear();
  m_params.clear();
}

void Dataset::SqlAdd(const QString& line) { m_lines << line; }

QString Dataset::SqlText() const { return m_lines.join(QLatin1Char('\n')); }

void Dataset::SetTableName(const QString& table) {
  SqlClear();
  SqlAdd(QStringLiteral("select * from ") + table);
}

void Dataset::SetParam(const QString& name, const QString& value) {
  for (auto& p : m_params) {
    if (p.first == name) {
      p.second = value;
      return;
    }
  }
  m_params.push_back({name, value});
}

bool Dataset::Open() { return Query(true); }

bool Dataset::Check() { return Active() || Query(true, false); }

bool Dataset::Query(bool mayReconnect, bool keepRows) {
  if (Active()) return true;
  m_error.clear();
  if (!Reconnected(m_connection, &m_error)) return false;
  QSqlDatabase db = Db();
  if (!db.isOpen()) return Fail(QStringLiteral("数据库连接未打开"));
  const QString text = SqlText();
  QSqlQuery q(db);
  q.setForwardOnly(true);
  Notify(m_connection, text);
  if (!q.prepare(text)) return Fail(PrepareFailure(q, m_connection));
  for (const auto& [name, value] : m_params) {
    static const QRegularExpression word(QStringLiteral("\\W"));
    // Bind only the parameters the text names; a stray binding upsets some drivers.
    const QString placeholder = QLatin1Char(':') + name;
    qsizetype at = text.indexOf(placeholder);
    while (at >= 0) {
      const qsizetype end = at + placeholder.size();
      if (end >= text.size() || word.match(text.mid(end, 1)).hasMatch()) break;
      at = text.indexOf(placeholder, end);
    }
    if (at >= 0) q.bindValue(placeholder, value);
  }
  QStringList fields;
  QVector<QVector<QVariant>> rows;
  bool lost = false;
  const bool ok = Run(q, m_connection, &m_error, &lost, [&] {
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) fields << CleanFieldName(rec.fieldName(i));
    while (keepRows && q.next()) {
      QVector<QVariant> row(rec.count());
      for (int i = 0; i < rec.count(); ++i) row[i] = q.value(i);
      rows.push_back(std::move(row));
    }
  });
  // A connection lost since the last statement comes back quietly, once, for a read.
  if (!ok && lost && mayReconnect) return Query(false, keepRows);
  if (!ok || !keepRows) return ok;
  m_fields = fields;
  m_rows = std::move(rows);
  m_state = State::Browse;
  SetRow(m_rows.isEmpty() ? -1 : 0);
  m_eof = m_rows.isEmpty();
  m_bof = true;
  Q_EMIT RowsChanged();
  return true;
}

void Dataset::Close() {
  if (!Active()) return;
  m_state = State::Inactive;
  m_fields.clear();
  m_rows.clear();
  m_pending.clear();
  m_original.clear();
  m_row = -1;
  m_eof = m_bof = true;
  Q_EMIT RowsChanged();
}

bool Dataset::Reopen() {
  Close();
  return Open();
}

void Dataset::SetRow(int row) {
  m_row = row;
  Q_EMIT RowMoved(row);
}

void Dataset::First() {
  if (!Active()) return;
  if (!PostPending()) return;
  SetRow(m_rows.isEmpty() ? -1 : 0);
  m_eof = m_rows.isEmpty();
  m_bof = true;
}

void Dataset::Last() {
  if (!Active()) return;
  if (!PostPending()) return;
  SetRow(static_cast<int>(m_rows.size()) - 1);
  m_eof = true;
  m_bof = m_rows.isEmpty();
}

void Dataset::Next() {
  if (!Active() || m_rows.isEmpty()) return;
  if (!PostPending()) return;
  m_bof = false;
  if (m_row + 1 < m_rows.size()) {
    SetRow(m_row + 1);
    m_eof = false;
  } else {
    m_eof = true;
  }
}

void Dataset::Prior() {
  if (!Active() || m_rows.isEmpty()) return;
  if (!PostPending()) return;
  m_eof = false;
  if (m_row > 0) {
    SetRow(m_row - 1);
    m_bof = false;
  } else {
    m_bof = true;
  }
}

void Dataset::MoveTo(int row) {
  if (!Active() || row < 0 || row >= m_rows.size()) return;
  if (!PostPending()) return;
  SetRow(row);
  m_eof = m_bof = false;
}

bool Dataset::Eof() const { return !Active() || m_eof; }

int Dataset::FieldIndex(const QString& name) const {
  for (int i = 0; i < m_fields.size(); ++i)
    if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

QVariant Dataset::ValueAt(int row, int column) const {
  if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_fields.size()) return {};
  return m_rows[row][column];
}

QString Dataset::Field(const QString& name) const {
  const int i = FieldIndex(name);
  if (i < 0) return {};
  if (m_state == State::Edit || m_state == State::Insert) {
    const QVariant& v = m_pending[i];
    return v.isNull() ? QString() : v.toString();
  }
  const QVariant v = ValueAt(m_row, i);
  return v.isNull() ? QString() : v.toString();
}

bool Dataset::FieldIsNull(const QString& name) const {
  const int i = FieldIndex(name);
  if (i < 0) return true;
  if (m_state == State::Edit || m_state == State::Insert) return m_pending[i].isNull();
  return ValueAt(m_row, i).isNull();
}

bool Dataset::SetField(const QString& name, const QString& value) {
  const int i = FieldIndex(name);
  if (i < 0 || (m_state != State::Edit && m_state != State::Insert))
    return Fail(QStringLiteral("字段 %1 无法写入").arg(name));
  m_pending[i] = value;
  return true;
}

bool Dataset::Locate(const QString& field, const QString& value, bool ignoreCase) {
  const int i = FieldIndex(field);
  if (!Active() || i < 0 || !PostPending()) return false;
  const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
  for (int r = 0; r < m_rows.size(); ++r) {
    const QVariant& v = m_rows[r][i];
    if (!v.isNull() && v.toString().compare(value, cs) == 0) {
      SetRow(r);
      m_eof = m_bof = false;
      return true;
    }
  }
  return false;
}

void Dataset::Append() {
  if (!Active() || !PostPending()) return;
  m_pending = QVector<QVariant>(m_fields.size());
  m_original.clear();
  m_state = State::Insert;
}

void Dataset::Edit() {
  if (!Active() || m_row < 0) return;
  if (m_state == State::Edit) return;
  if (m_state == State::Insert && !Post()) return;
  m_original = m_rows[m_row];
  m_pending = m_original;
  m_state = State::Edit;
}

void Dataset::Cancel() {
  if (m_state != State::Edit && m_state != State::Insert) return;
  m_pending.clear();
  m_original.clear();
  m_state = State::Browse;
}

QString Dataset::BaseTable() const {
  static const QRegularExpression from(QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\w+)"),
                                       QRegularExpression::CaseInsensitiveOption);
  const auto m = from.match(SqlText());
  return m.hasMatch() ? m.captured(1) : QString();
}

bool Dataset::PostPending() { return m_state == State::Browse || Post(); }

bool Dataset::ExecWrite(const QString& sql, const QVector<QVariant>& values, bool oneRow) {
  if (!Reconnected(m_connection, &m_error)) return false;
  QSqlQuery q(Db());
  Notify(m_connection, sql);
  if (!q.prepare(sql)) return Fail(PrepareFailure(q, m_connection));
  for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
  // A write is never repeated by itself: it may have been done before the connection went.
  if (!Run(q, m_connection, &m_error)) {
    m_failure = t_failure;
    return false;
  }
  // A change or delete that found no row did not happen: someone else changed or removed the
  // row meanwhile.
  if (oneRow && q.numRowsAffected() == 0) {
    qCInfo(lcDb) << "row changed or removed meanwhile, not written:" << sql;
    Fail(QStringLiteral("这条记录已被别人修改或删除，没有储存。请重新打开后再试。"));
    m_failure = WriteFailure::ChangedMeanwhile;
    return false;
  }
  return true;
}

bool Dataset::Post() {
  if (m_state != State::Edit && m_state != State::Insert) return true;
  m_error.clear();
  m_failure = WriteFailure::None;
  const QString table = BaseTable();
  if (table.isEmpty() || m_fields.isEmpty()) return Fail(QStringLiteral("此查询不能修改数据"));

  QStringList columns;
  QVector<QVariant> values;
  if (m_state == State::Insert) {
    QStringList marks;
    for (int i = 0; i < m_fields.size(); ++i) {
      if (m_pending[i].isNull()) continue;
      columns << Quoted(m_fields[i]);
      marks << QStringLiteral("?");
      values << m_pending[i];
    }
    if (columns.isEmpty()) return Fail(QStringLiteral("没有要储存的内容"));
    if (!ExecWrite(
            QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
            values))
      return false;
    m_rows.push_back(m_pending);
    m_state = State::Browse;
    SetRow(static_cast<int>(m_rows.size()) - 1);
  } else {
    // The row is the one with the number read, and only while the columns changed here still
    // hold the values read: a change made meanwhile on another seat is never overwritten.
    QStringList criteria;
    QVector<QVariant> criteriaValues;
    AddCriterion(m_fields[0], m_original[0], criteria, criteriaValues);
    for (int i = 0; i < m_fields.size(); ++i) {
      if (m_pending[i] == m_original[i] && m_pending[i].isNull() == m_original[i].isNull())
        continue;
      columns << Quoted(m_fields[i]) + QStringLiteral(" = ?");
      values << m_pending[i];
      if (i > 0 && kChangeCriteria)
        AddCriterion(m_fields[i], m_original[i], criteria, criteriaValues);
    }
    if (!columns.isEmpty()) {
      if (!ExecWrite(QStringLiteral("update %1 set %2 where %3")
                         .arg(table, columns.join(QStringLiteral(", ")),
                              criteria.join(QStringLiteral(" and "))),
                     values + criteriaValues, true))
        return false;
    }
    m_rows[m_row] = m_pending;
    m_state = State::Browse;
  }
  m_pending.clear();
  m_original.clear();
  m_eof = m_bof = false;
  Q_EMIT RowsChanged();
  return true;
}

bool Dataset::Delete() {
  m_error.clear();
  m_failure = WriteFailure::None;
  if (!Active() || m_row < 0) return Fail(QStringLiteral("没有可删除的记录"));
  if (m_state == State::Insert) {
    Cancel();
    return true;
  }
  Cancel();
  const QString table = BaseTable();
  if (table.isEmpty()) return Fail(QStringLiteral("此查询不能修改数据"));
  // Only the row as it was read: one changed meanwhile on another seat stays.
  QStringList criteria;
  QVector<QVariant> criteriaValues;
  for (int i = 0; i < (kChangeCriteria ? m_fields.size() : 1); ++i)
    AddCriterion(m_fields[i], m_rows[m_row][i], criteria, criteriaValues);
  if (!ExecWrite(QStringLiteral("delete from %1 where %2")
                     .arg(table, criteria.join(QStringLiteral(" and "))),
                 criteriaValues, true))
    return false;
  m_rows.remove(m_row);
  if (m_row >= m_rows.size())
    SetRow(static_cast<int>(m_rows.size()) - 1);
  else
    SetRow(m_row);
  m_eof = m_rows.isEmpty();
  Q_EMIT RowsChanged();
  return true;
}

// --- Transaction ----------------------------------------------------------------------------

Transaction::Transaction(const QString& connectionName) : m_connection(connectionName) {}

Transaction::~Transaction() {
  if (m_open) Rollback();
}

bool Transaction::Fail(const QSqlError& error) {
  const bool lost = CheckConnectionLost(m_connection);
  m_failure = ClassifyFailure(error, lost);
  m_error = lost ? ConnectionFailure(m_connection, false, error.text()) : ErrorText(error);
  return false;
}

bool Transaction::Begin(bool writeFirst) {
  m_failure = WriteFailure::None;
  if (!Reconnected(m_connection, &m_error)) {
    m_failure = WriteFailure::ServerAway;
    return false;
  }
  QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  if (writeFirst && db.driverName() == QLatin1String("QSQLITE")) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("begin immediate"))) return Fail(q.lastError());
  } else if (!db.transaction()) {
    return Fail(db.lastError());
  }
  m_open = true;
  return true;
}

bool Transaction::Commit() {
  QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  if (!m_open) return false;
  bool ok = false;
  {
    // A commit waits on the server like any statement: under the same time limit.
    StatementWatch watch(m_connection);
    ok = db.commit();
  }
  if (!ok) {
    Fail(db.lastError());
    Rollback();
    return false;
  }
  m_open = false;
  return true;
}

void Transaction::Rollback() {
  if (!m_open) return;
  QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  db.rollback();
  m_open = false;
}

bool ExecSql(const QString& connectionName, const QString& sql, QString* error) {
  if (!Reconnected(connectionName, error)) return false;
  QSqlQuery q(QSqlDatabase::database(connectionName, false));
  Notify(connectionName, sql);
  return Run(q, connectionName, error, nullptr, {}, sql);
}

bool ExecQuery(const QString& connectionName, const QString& sql, const QVector<QVariant>& values,
               QVector<QVector<QVariant>>* rows, QString* error) {
  if (!Reconnected(connectionName, error)) return false;
  QSqlQuery q(QSqlDatabase::database(connectionName, false));
  q.setForwardOnly(true);
  Notify(connectionName, sql);
  if (!q.prepare(sql)) {
    if (error) *error = PrepareFailure(q, connectionName);
    return false;
  }
  for (const QVariant& v : values) q.addBindValue(v);
  return Run(q, connectionName, error, nullptr, [&] {
    if (!rows) return;
    while (q.next()) {
      QVector<QVariant> row(q.record().count());
      for (int i = 0; i < row.size(); ++i) row[i] = q.value(i);
      rows->push_back(std::move(row));
    }
  });
}

}  // namespace platform
