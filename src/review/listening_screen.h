// SPDX-License-Identifier: GPL-3.0-or-later
// TtyzmainForm: the listening game "听音找字". The program says an item and the child finds it
// among three or four big cards; five rounds make a game, each answer a review of that item.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>
#include <memory>

#include "app/design_form.h"
#include "review/fsrs.h"
#include "review/listening_game.h"

class QLabel;
class QTimer;
class QToolButton;
class TFlatSpeedButton;
class TLabel3D;
class TLessonStatusBar;

// One big card with a character or word on it.
class TGameCard : public QWidget {
  Q_OBJECT
 public:
  enum class Look { Plain, Glowing, Faded, Pulsing };
  explicit TGameCard(QWidget* parent);
  void SetText(const QString& text);
  QString Text() const { return m_text; }
  void SetLook(Look look);
  Look CurrentLook() const { return m_look; }

 Q_SIGNALS:
  void picked(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QString m_text;
  Look m_look = Look::Plain;
  bool m_hover = false;
  int m_phase = 0;
  QTimer* m_pulse;
};

// Five stars in a row, the first `lit` of them golden.
class TStarRow : public QWidget {
  Q_OBJECT
 public:
  TStarRow(QWidget* parent, int starSize);
  void SetStars(int lit, int total);
  int Lit() const { return m_lit; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int m_lit = 0;
  int m_total = review::kGameRounds;
  int m_size;
};

class TtyzmainForm : public TDesignForm {
  Q_OBJECT
 public:
  explicit TtyzmainForm(QWidget* owner);

  // Controls under their names, so that tests can play as a child would.
  QWidget* TopBar;
  TLabel3D* Label3D7;
  QToolButton* HELPSB;
  QToolButton* QuitSb;
  QWidget* playPanel;
  QLabel* RoundLb;
  TStarRow* Stars;
  TFlatSpeedButton* AgainSb;  // 再听一遍
  QList<TGameCard*> Cards;    // four; the fourth shown only with four cards
  QLabel* PraiseLb;
  QWidget* summaryPanel;
  QLabel* SummaryLb;
  TStarRow* SummaryStars;
  QLabel* SaveNoticeLb;
  TFlatSpeedButton* ReplaySb;  // 再玩一次
  TFlatSpeedButton* BackSb;    // 返回
  QLabel* EmptyLb;             // nothing to play yet
  TLessonStatusBar* StatusBar;
  QTimer* NextTimer;  // moves on after a round
  QTimer* RepeatTimer;  // says the item again after a wrong card
  QTimer* ClockTimer;   // the status bar's clock, every second as on the lesson screens

  // Starts a new game for the chosen child: reads the child's reviews and picks the items.
  void StartGame();
  void CardPicked(const QString& text);
  void NextRound();
  void SayItem();
  const review::ListeningGame* Game() const { return m_game.get(); }
  // What a round saved; empty when every review was stored.
  QString SaveError() const { return m_saveError; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The bars reach across the whole window, as on the lesson screens; the game stays centred.
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString m_statusChapter;  // the chapter the status bar names
  struct Item {
    QString name, chapter, text, sound;
    int chapterIndex = 0;
  };
  void BuildTopBar();
  void BuildPlayPanel();
  void BuildSummaryPanel();
  void ShowRound();
  void ShowSummary();
  void SaveRound();
  QString SoundPath(const Item& item);
  // The course's items a round may show beside `target` (see ChooseDistractors), read once a game.
  QList<review::GameItem> CardPool(const review::GameItem& target);
  const QList<review::GameItem>& ChapterItems(int chapter);

  review::Scheduler m_scheduler;
  std::unique_ptr<review::ListeningGame> m_game;
  QList<Item> m_items;  // the game's items, in order
  QStringList m_chapters;
  QHash<int, QList<review::GameItem>> m_chapterItems;
  bool m_chapterUnread = false;
  review::ChildCards m_cards;
  int m_today = 0;
  int m_child = 0;  // whose reviews the game reads and stores, fixed when it starts
  int m_streak = 0;
  QString m_saveError;
};
