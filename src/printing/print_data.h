// SPDX-License-Identifier: GPL-3.0-or-later
// What the sheets and reports are made of, read from the lesson database: the characters of a
// chapter or a child's due list, a child's report and the class's table. Errors in Chinese.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "printing/print_pages.h"

namespace printing {

// The characters of the character chapter numbered `number` (章号), and its name.
bool LoadChapterSheet(const QString& connection, int number, QStringList* characters,
                      QString* chapter, QString* error);
// The characters due for review for `child` on `today`, in course order.
bool LoadDueCharacters(const QString& connection, int child, const QDate& today,
                       QStringList* characters, QString* error);
// The child named `name` (compared as the children's window does); false when there is none.
bool FindChild(const QString& connection, const QString& name, int* child, QString* found,
               QString* error);
// A child's report over the `days` days up to `today`.
bool LoadChildReport(const QString& connection, int child, const QString& name, int days,
                     const QDate& today, ChildReport* report, QString* error);
// Every child's row over the `days` days up to `today`, names sorted by their pinyin.
bool LoadClassReport(const QString& connection, int days, const QDate& today, QList<ClassRow>* rows,
                     QString* error);

}  // namespace printing
