// SPDX-License-Identifier: GPL-3.0-or-later
// Review states in the lesson database (table review_state, a schema step): per child and item
// the memory the scheduler keeps, so that it follows the child from seat to seat. Days are stored
// as yyyymmdd numbers, as the learning record stores them. These statements are not lesson SQL:
// they bypass the lesson queries' observer, as the record's do.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "data/children.h"
#include "review/listening_game.h"

namespace review {

// The reviews made with no child chosen. The table keeps one row per child and item and its
// child_id is never null, so these are stored under 0, which is no profile's id.
inline constexpr int kDefaultChild = children::kNoChild;

int DayOf(int yyyymmdd);   // Julian day; 0 for 0 or a number that is no date
int StoredDay(int julian); // yyyymmdd; 0 for 0

// The child's cards by item; `newToday` (optional) gets how many items were met first on `today`.
bool LoadChildCards(const QString& connection, int child, int today, ChildCards* cards,
                    int* newToday, QString* error);
// How many of the child's items are due on `today`, counted by the database.
bool CountDue(const QString& connection, int child, int today, int* due, QString* error);
// Stores one review's result; `firstDay` is the day of the item's first review.
bool SaveCard(const QString& connection, int child, const QString& item, const Card& card,
              int firstDay, QString* error);

// What a game needs from the course: the character chapters in order, the chapters `child` has
// opened on the character screen (by position; the first one when none yet; kDefaultChild: the
// notes made with no child chosen), the items of a chapter.
bool LoadChapterOrder(const QString& connection, QStringList* chapters, QString* error);
bool LoadOpenedChapters(const QString& connection, int child, const QStringList& chapters,
                        QList<int>* opened, QString* error);
// `texts` (optional) gets each item's text (拼音词组), which begins with its reading.
bool LoadChapterItems(const QString& connection, const QString& chapter, QStringList* items,
                      QString* error, QStringList* texts = nullptr);
// Each item's chapter name and recording (声音), for the items named.
struct ItemRow {
  QString name, chapter, text, sound;
};
bool LoadItemRows(const QString& connection, const QStringList& names, QList<ItemRow>* rows,
                  QString* error);

// Every character item of the course in chapter order (item order within a chapter); items whose
// chapter is gone come last, under a chapter of their own added to `chapters`.
bool LoadCourseItems(const QString& connection, QStringList* chapters, QStringList* items,
                     QList<int>* chapterOf, QString* error);

// The pictures adults chose for character items (data/item_pictures.h), by item name: few rows,
// where reading every item's text would cost the knowledge window its time.
bool LoadChosenPictures(const QString& connection, QHash<QString, QString>* chosen, QString* error);

// Every character item of the course as the game compares it (chapters not told apart).
bool LoadCourseGameItems(const QString& connection, QList<GameItem>* items, QString* error);
// What the adult reads about the items the game can never ask (WithoutChoiceNotice); empty when
// there are none or the course cannot be read (that is logged).
QString WithoutChoiceNoticeFor(const QString& connection);

// The adult's setting: how many new items a day the game may bring (0 .. kNewPerDayMax), kept in
// the lesson database's SYS table so that every seat follows it.
inline constexpr int kNewPerDayMax = 20;
inline const QString kNewPerDayName = QStringLiteral("听音找字每天新字");
bool LoadNewPerDay(const QString& connection, int* perDay, QString* error);
bool SaveNewPerDay(const QString& connection, int perDay, QString* error);

// Everything a game needs for one child: the chapters, the child's cards, the items chosen and
// their rows in the order chosen (an item gone from the course is left out).
struct GameSelection {
  QStringList chapters;
  ChildCards cards;
  ItemChoice choice;
  QList<ItemRow> rows;
};
bool ChooseForChild(const QString& connection, int child, int today, const Scheduler& scheduler,
                    GameSelection* out, QString* error);

}  // namespace review
