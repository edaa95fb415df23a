// SPDX-License-Identifier: GPL-3.0-or-later
// Children's profiles in the lesson database (table children, a schema step): a name and one of
// the pictures the program draws, nothing else. A classroom server shares them, so a child can
// sit at any seat. Every note of the learning record carries the child's id (learn_record.child_id,
// null for notes from before profiles).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace children {

// No child chosen: no profile exists, or a note from before profiles ("未分配").
inline constexpr int kNoChild = 0;
inline constexpr int kNameMaxChars = 8;
inline constexpr int kPictureCount = 16;

struct Child {
  int id = kNoChild;
  QString name;
  int picture = 0;  // 0 .. kPictureCount - 1
};

// The animal of a picture ("小猫"), and its picture among the resources (1× and "@2x").
QString AnimalName(int picture);
QString PictureResource(int picture);

// Why a name cannot be a child's name (empty when it can): blank, longer than kNameMaxChars
// characters, or holding control characters. Surrounding spaces are not part of a name.
QString NameProblem(const QString& name);

// Every profile in the order they were added.
bool LoadChildren(const QString& connection, QList<Child>* children, QString* error);
// Adds a child; a name another child has (letter case ignored) is refused with a Chinese
// message. `added` receives the stored profile.
bool AddChild(const QString& connection, const QString& name, int picture, Child* added,
              QString* error);
// Stores a new name and picture for `child.id`.
bool UpdateChild(const QString& connection, const Child& child, QString* error);
// Removes the child and, in the same transaction, every row of the tables that belong to a
// child (ChildOwnedTables): all of it or none. `notes` receives the learning record's rows removed.
bool RemoveChild(const QString& connection, int id, int* notes, QString* error);
// The learning record's notes of one child.
bool CountNotes(const QString& connection, int id, int* notes, QString* error);

// Loads a class list, one name per line; pictures are given in turn after the last one used.
// Blank lines are skipped; a name that is refused (too long, already there) is reported in
// `refused` ("第 3 行：...") and the others are still added. False only when the database fails.
bool AddClassList(const QString& connection, const QStringList& lines, QList<Child>* added,
                  QStringList* refused, QString* error);

// The tables whose rows carry a child_id and go when the child goes.
QStringList ChildOwnedTables();

// Whether the adult's buttons first ask the parent gate's question (on unless switched off).
bool ParentGateOn(const QString& connection);
bool SetParentGateOn(const QString& connection, bool on, QString* error);

// The schema step: the table, and the child's column on every note. Harmless when run again.
bool AddChildrenTables(const QString& connection, QString* error);

}  // namespace children
