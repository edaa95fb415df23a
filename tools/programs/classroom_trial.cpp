// SPDX-License-Identifier: GPL-3.0-or-later
// Starts as the program does on a classroom computer (the data source EDUqvlp, its login) and
// says what that login may do: a seat must find editing off and be refused a change, the
// teacher must be able to save an item. .ci/run follows the README's classroom steps with it.
#include <QApplication>
#include <QTextStream>
#include <memory>

#include "data/data_module.h"
#include "data/lesson_kinds.h"
#include "platform/dataset.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tindora"));
  QTextStream out(stdout);
  const QString expect = app.arguments().value(1);
  if (expect != QLatin1String("seat") && expect != QLatin1String("teacher")) {
    out << "usage: classroom_trial (seat|teacher)\n";
    return 2;
  }
  std::unique_ptr<Tdm> module(CreateDataModule(nullptr));
  if (!module) return 1;
  dm = module.get();
  const QString reason = module->EditingOffReason();
  out << "login: " << LessonDataSource().user << "\n"
      << "editing: " << (reason.isEmpty() ? QStringLiteral("on") : QStringLiteral("off: ") + reason)
      << "\n";
  // An item saved as the editor saves it, then taken away again.
  const LessonKind& k = Kind(LessonKindId::Character);
  platform::Dataset items(module->ConnectionName());
  items.SetTableName(k.itemTable);
  bool saved = items.Open();
  if (saved) {
    items.Append();
    items.SetField(k.numberField, QStringLiteral("987654"));
    items.SetField(k.nameField, QStringLiteral("试"));
    items.SetField(QStringLiteral("章节"), QStringLiteral("课堂检查"));
    saved = items.Post();
  }
  out << "item saved: " << (saved ? "yes" : "no") << "\n";
  if (saved && items.Locate(k.numberField, QStringLiteral("987654"), false)) items.Delete();
  dm = nullptr;
  const bool seat = expect == QLatin1String("seat");
  return seat == !reason.isEmpty() && seat != saved ? 0 : 1;
}
