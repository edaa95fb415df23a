// SPDX-License-Identifier: GPL-3.0-or-later
// TRecordsForm "学习记录": the learning record in pictures for the adult beside the child —
// practice per day and module, the characters practised most and never, and how the drill goes.
#pragma once

#include <QDialog>

#include "records/record_stats.h"

class QButtonGroup;
class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QToolButton;
class TLabel3D;

class TRecordsForm : public QDialog {
  Q_OBJECT
 public:
  explicit TRecordsForm(QWidget* owner);

  TLabel3D* Label3D1;
  QToolButton* WeekSb;   // "近7天"
  QToolButton* MonthSb;  // "近30天"
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
  QLabel* KnowLb;        // 认识的字 N 个（学过 M 个）　今天该复习 K 个
  QToolButton* KnowSb;   // opens "认识的字"

  // Days shown: 7 or 30.
  int PeriodDays() const;
  // The computer whose records are shown; empty for all of them.
  QString Machine() const;
  // Reads the records again and redraws every chart.
  void Reload();
  void ChapterCbChange();
  void ClearSbClick();

  // What the charts show, for tests.
  const records::DailyPractice& Daily() const { return m_daily; }
  const records::DrillProgress& Drill() const { return m_drill; }
  const QList<records::ItemCount>& Most() const { return m_most; }
  const QStringList& Never() const { return m_never; }
  int Written() const { return m_written; }
  int Missed() const { return m_missed; }
  // "写字 3 个，描错 2 笔：山 1 笔、水 1 笔。" or empty when nothing was written.
  QString WritingSummary() const;

 private:
  void BuildTopBar(QWidget* bar);
  void ShowDaily();
  void ShowCharacters();
  void ShowDrill();
  void ShowKnowledge();
  void Fail(const QString& error);

  QString m_connection;
  QList<records::ItemCount> m_characterCounts;
  records::DailyPractice m_daily;
  records::DrillProgress m_drill;
  QList<records::ItemCount> m_most;
  QStringList m_never;
  int m_written = 0;  // characters written in the period
  int m_missed = 0;   // strokes missed on the way
  QList<records::ItemCount> m_writingMisses;  // which characters, most strokes missed first
  QString m_error;
};
