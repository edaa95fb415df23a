// SPDX-License-Identifier: GPL-3.0-or-later
// TRecordsForm "学习记录": the learning record in pictures for the adult beside the child —
// practice per day and module, the characters practised most and never, and how the drill goes.
#pragma once

#include <QDialog>
#include <QMap>

#include "data/record_stats.h"
#include "data/record_store.h"

class QButtonGroup;
class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTableWidget;
class QToolButton;
class TLabel3D;

class TRecordsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TRecordsForm(QWidget* owner);

  TLabel3D* Label3D1;
  QToolButton* WeekSb;   // "近7天"
  QToolButton* MonthSb;  // "近30天"
  QComboBox* ChildCb;    // a child, "未分配" or "全班"; hidden without profiles
  QCheckBox* AllCb;      // every computer's records
  QLabel* MachineLb;
  QToolButton* ClearSb;  // "清除记录"
  QToolButton* QuitSb;
  QChartView* DayChart;
  QComboBox* ChapterCb;
  QChartView* CharChart;
  QLabel* NeverLb;
  QChartView* ScoreChart;
  QChartView* ShareChart;
  QLabel* MissedLb;  // first tries per operation and the sums missed first most often
  QLabel* StatusLb;
  QStackedWidget* Pages;   // the charts, or the class table
  QTableWidget* ClassTable;  // "全班": a row per child
  QLabel* KnowLb;        // 认识的字 N 个（学过 M 个）　今天该复习 K 个
  QToolButton* KnowSb;   // opens "认识的字"
  QToolButton* PrintSb;  // 打印, behind the parent gate

  // Days shown: 7 or 30.
  int PeriodDays() const;
  // The computer whose records are shown; empty for all of them.
  QString Machine() const;
  // The child whose records are shown: an id, children::kNoChild for the unassigned notes,
  // records::kAnyChild without profiles, kWholeClass for the class table.
  static constexpr int kWholeClass = -2;
  int Child() const;
  records::RecordFilter Filter() const { return {Machine(), Child()}; }
  // Reads the records again and redraws every chart.
  void Reload();
  void ChapterCbChange();
  void ClearSbClick();
  // Opens the record of the child in the class table's row.
  void ClassTableClick(int row);

  // What the charts show, for tests.
  const records::DailyPractice& Daily() const { return m_daily; }
  const records::DrillProgress& Drill() const { return m_drill; }
  const QList<records::ItemCount>& Most() const { return m_most; }
  const QStringList& Never() const { return m_never; }
  const records::WritingTotals& Writing() const { return m_writing; }
  const QList<records::ChildSummary>& ClassRows() const { return m_class; }
  // records::WritingSummary of the period.
  QString WritingSummary() const;

 private:
  bool m_classSortChosen = false;  // a header was clicked: its order stays
  void BuildTopBar(QWidget* bar);
  void ShowDaily();
  void ShowCharacters();
  void ShowDrill();
  void ShowClass(const QDate& from);
  void ShowKnowledge();
  void Fail(const QString& error);

  QString m_connection;
  QList<records::ItemCount> m_characterCounts;
  records::DailyPractice m_daily;
  records::DrillProgress m_drill;
  QList<records::ItemCount> m_most;
  QStringList m_never;
  records::WritingTotals m_writing;  // characters written in the period, strokes missed
  QList<records::ItemCount> m_writingMisses;  // which characters, most strokes missed first
  QString m_error;
  int m_listened = 0;  // characters met in 听音找字 in the period
  QList<records::ChildSummary> m_class;
  QMap<int, QString> m_names;  // child id -> name
  bool m_withChildren = false;  // profiles exist: the record is a child's
};
