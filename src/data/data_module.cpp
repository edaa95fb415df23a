// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/data_module.h"

#include <QPointer>
#include <QWidget>
#include <QSqlDatabase>
#include <thread>
#include <memory>

#include "data/embedded_database.h"
#include "data/schema_migrations.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"
#include "platform/logging.h"

Tdm* dm = nullptr;

namespace {

// The embedded file the data module has open; empty for a data source.
QString& EmbeddedFileInUse() {
  static QString path;
  return path;
}

std::thread& WholeCheckThread() {
  static std::thread thread;
  return thread;
}

QString NextConnectionName() {
  static int count = 0;
  return ++count == 1 ? QStringLiteral("ADOConnection1")
                      : QStringLiteral("ADOConnection1-%1").arg(count);
}
}  // namespace

Tdm::Tdm(const ConnectionSpec& spec, QObject* parent)
    : QObject(parent), m_connection(NextConnectionName()) {
  SYSTable = new platform::Dataset(m_connection, this);
  SYSTable->SetTableName(QStringLiteral("SYS"));
  ALLQuery = new platform::Dataset(m_connection, this);
  ALLQuery->SqlAdd(QStringLiteral("select * from ZJ"));
  goQuery = new platform::Dataset(m_connection, this);
  goQuery->SqlAdd(QStringLiteral("select * from szSound"));
  ALLQueryds = new platform::DatasetModel(ALLQuery, this);
  nameQuery = new platform::Dataset(m_connection, this);
  nameQuery->SqlAdd(QStringLiteral("select * from ZJ"));
  goQueryds = new platform::DatasetModel(goQuery, this);

  m_connected = OpenConnection(m_connection, spec, &m_error, &m_dataSourceMissing);
  if (!m_connected) return;
  // A database made by an older version gets the newer tables before any screen reads it.
  if (!MigrateSchema(m_connection, &m_error)) {
    m_connected = false;
    m_schemaFailed = true;
    QSqlDatabase::database(m_connection, false).close();
    return;
  }
  // Each dataset's text runs once, so that a missing table is told at start-up, but no rows are
  // kept: every screen issues its own SQL before it reads, and an item table may be large.
  for (platform::Dataset* d : {SYSTable, ALLQuery, goQuery, nameQuery}) {
    if (!d->Check()) {
      qCWarning(lcDb) << "cannot open" << d->ConnectionName() << d->LastError();
      ReportError(QStringLiteral(
          "课程数据库中的课程表无法读取。请让管理员用 tindora_dbsetup 检查这个数据库。"));
      break;
    }
  }
}

Tdm::~Tdm() {
  if (WholeCheckThread().joinable()) {
    InterruptWholeFileCheck();
    WholeCheckThread().join();
  }
  for (platform::Dataset* d : {SYSTable, ALLQuery, goQuery, nameQuery}) d->Close();
  {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.isValid()) db.close();
  }
  QSqlDatabase::removeDatabase(m_connection);
}

void Tdm::SetEditingOff(const QString& reason) {
  if (reason == m_editingOff) return;
  if (!reason.isEmpty()) qCInfo(lcDb) << "editing off:" << reason;
  m_editingOff = reason;
  Q_EMIT EditingOffChanged(reason);
}

void CheckLessonFileWhole(QWidget* owner) {
  const QString path = EmbeddedFileInUse();
  if (!dm || path.isEmpty() || WholeCheckThread().joinable() || !WholeCheckWaitsForMenu(path))
    return;
  Tdm* module = dm;
  const bool mayRepair = !module->ReadOnlyDatabase();
  QPointer<QWidget> told(owner);
  WholeCheckThread() = std::thread([module, path, mayRepair, told] {
    const WholeFileCheck r = CheckWholeFile(path, mayRepair);
    if (r.outcome != WholeFileCheck::Outcome::Damaged) return;
    QMetaObject::invokeMethod(
        module,
        [module, path, told] {
          module->SetEditingOff(QStringLiteral("课程数据库文件有损坏"));
          platform::MessageBox(
              told, QStringLiteral("课程数据库文件 %1 检查出损坏，有些课程可能显示不全。\n"
                                   "编辑已关闭，以免损坏扩大；孩子仍可照常学习。\n"
                                   "请退出本程序，把这个文件复制一份交给管理员修复。")
                        .arg(path),
              kApplicationTitle, platform::MB_OK | platform::MB_ICONWARNING);
        },
        Qt::QueuedConnection);
  });
}

bool RefuseEditing(QWidget* owner) {
  if (!dm || dm->EditingOffReason().isEmpty()) return false;
  platform::MessageBox(owner, QStringLiteral("编辑已关闭：%1").arg(dm->EditingOffReason()),
                       QStringLiteral("注意"), platform::MB_OK | platform::MB_ICONWARNING);
  return true;
}

namespace {

Tdm* OpenEmbedded(QWidget* owner) {
  const QString path = EmbeddedDatabasePath();
  QString error, notice, readOnlyReason;
  bool readOnly = false;
  std::unique_ptr<Tdm> module;
  if (EnsureEmbeddedDatabase(path, &error, &notice, &readOnly, &readOnlyReason)) {
    if (!notice.isEmpty())
      platform::MessageBox(owner, notice, kApplicationTitle,
                           platform::MB_OK | platform::MB_ICONWARNING);
    module = std::make_unique<Tdm>(readOnly ? ReadOnlyEmbeddedSpec(path) : EmbeddedSpec(path));
    if (readOnly) module->SetReadOnlyDatabase(readOnlyReason);
    if (module->Connected()) {
      EmbeddedFileInUse() = path;
      return module.release();
    }
    qCWarning(lcDb) << "embedded database not usable:" << path << module->ConnectError();
    error = module->SchemaFailed()
                ? QStringLiteral("这个文件无法升级到本程序的版本，请把它交给管理员检查。")
                : QStringLiteral("请检查这个文件和它所在文件夹的权限。");
  }
  platform::MessageBox(owner, QStringLiteral("无法打开课程数据库 %1。\n%2").arg(path, error),
                       kApplicationTitle, platform::MB_OK | platform::MB_ICONERROR);
  return nullptr;
}

}  // namespace

Tdm* CreateDataModule(QWidget* owner) {
  const ConnectionSpec source = LessonDataSource();
  // The embedded default only when no such data source is defined at all: one that is defined
  // but fails (driver not installed, broken entry) must not silently open other lessons.
  if (!DataSourceDefined(source.databaseName)) return OpenEmbedded(owner);
  auto module = std::make_unique<Tdm>(source);
  if (module->Connected()) return module.release();
  // The driver's words go to the log; the adult is told the cause and what to do.
  const QString why = module->ConnectError();
  qCWarning(lcDb) << "data source" << source.label << "not usable:" << why;
  QString text;
  if (module->SchemaFailed())
    text = QStringLiteral(
        "数据源 %1 中的课程数据库无法使用。请让管理员用 tindora_dbsetup 检查这个数据库。");
  else if (why.contains(QLatin1String("Can't open lib")) ||
           (why.contains(QLatin1String("Driver Manager")) &&
            why.contains(QLatin1String("driver"), Qt::CaseSensitive)))
    text = QStringLiteral("无法连接数据源 %1：它所用的数据库驱动程序没有安装或无法载入。"
                          "请让管理员检查这个数据源的设置。");
  else if (why.contains(QLatin1String("password"), Qt::CaseInsensitive) ||
           why.contains(QLatin1String("authentication"), Qt::CaseInsensitive))
    text = QStringLiteral("无法连接数据源 %1：数据库服务器不接受这个用户名或密码。"
                          "请让管理员检查这个数据源的设置。");
  else
    text = QStringLiteral("无法连接数据源 %1：数据库服务器没有回应。"
                          "请检查网络和数据库服务器，然后再启动本程序。");
  platform::MessageBox(owner, text.arg(source.label), kApplicationTitle,
                       platform::MB_OK | platform::MB_ICONERROR);
  return nullptr;
}
