// SPDX-License-Identifier: GPL-3.0-or-later
// TKnowledgeForm "认识的字": for the parent, what the child knows — how many characters the child
// recognises and has met, how many are due today, and every character of the course coloured by
// its state with a legend in plain words. Also the adult's setting of new items a day.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <QWidget>

#include "review/knowledge.h"

class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;
class TLabel3D;

// The course's characters in chapter order, each a small tile in its state's colour. Only the
// tiles in view are drawn, so a course of tens of thousands stays quick.
class TKnowledgeGrid : public QWidget {
  Q_OBJECT
 public:
  explicit TKnowledgeGrid(QWidget* parent);
  // `chapterOf[i]`: index into `chapters` of item i; items in chapter order.
  // Each item's picture, an empty string for none; drawn in the tile's corner.
  void SetPictures(const QStringList& pictures) {
    m_pictures = pictures;
    update();
  }
  void SetItems(const QStringList& chapters, const QStringList& items, const QList<int>& chapterOf,
                const QList<review::Knowledge>& states);
  int heightForWidth(int width) const override;
  bool hasHeightForWidth() const override { return true; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Row {
    int top;
    int chapter;  // a chapter heading when >= 0
    int first, count;  // items on a row of tiles
  };
  QList<Row> Layout(int width) const;

  QStringList m_chapters, m_items, m_pictures;
  QList<int> m_chapterOf;
  QList<review::Knowledge> m_states;
  QList<Row> m_rows;
};

// The window that opens TKnowledgeForm may name the child to show in this property (an int);
// without it the form shows the current child's.
inline constexpr char kKnowledgeChildProperty[] = "knowledgeChild";

class TKnowledgeForm : public QDialog {
  Q_OBJECT
 public:
  explicit TKnowledgeForm(QWidget* owner);

  TLabel3D* Label3D1;
  QLabel* SummaryLb;  // 认识的字 N 个（学过 M 个）  今天该复习 K 个
  QLabel* LegendLb;
  QSpinBox* NewPerDaySe;
  QScrollArea* Scroll;
  TKnowledgeGrid* Grid;
  QToolButton* QuitSb;

  void Reload();
  const review::KnowledgeView& View() const { return m_view; }

 private:
  review::KnowledgeView m_view;
  int m_child = 0;
};

// The summary line for a child's view, as the record and the knowledge window show it.
QString KnowledgeSummaryText(const review::KnowledgeView& view);
