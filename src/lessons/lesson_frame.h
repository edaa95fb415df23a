// SPDX-License-Identifier: GPL-3.0-or-later
// The frame every lesson screen shares, built in one place: the top bar with its title and
// buttons, the chapter selector and the status bar with the chapter and the clock. The drill
// takes the title and the help and return buttons from here as well.
#pragma once

#include <QComboBox>
#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
class QToolButton;
class TLabel3D;
struct LessonKind;

namespace frame {
inline constexpr int kDesignWidth = 800;
inline constexpr int kTopBarHeight = 64;
inline constexpr int kStatusBarHeight = 20;
inline constexpr int kQuitLeft = 714;  // the way back, measured from the design's left edge
}  // namespace frame

// Paints a widget's background with `brush`.
void FillBackground(QWidget* w, const QBrush& brush);
// The blue title of a screen at its place in the top bar.
TLabel3D* MakeScreenTitle(QWidget* bar, const QString& text, int width);
// A top-bar button: flat, picture above caption, never takes the focus.
QToolButton* MakeTopButton(QWidget* bar, const QString& caption, const QString& picture,
                           const QRect& at, const QString& hint = {});
QToolButton* MakeHelpButton(QWidget* bar, int left);
QToolButton* MakeQuitButton(QWidget* bar);
// Keeps the way back in the top right corner of a bar `width` wide, where the design puts it.
void KeepQuitInCorner(QToolButton* quit, int width);

// CB1: a pick-only list of chapter names, golden when closed. The closed box keeps its design
// width; the opened list is as wide as the longest name up to twice that width, and a name cut
// off anywhere ends in "…" and shows whole as a tooltip.
class TChapterSelector : public QComboBox {
  Q_OBJECT
 public:
  explicit TChapterSelector(QWidget* parent);
  void SetChapters(const QStringList& names, int current);
  void showPopup() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect TextRect() const;
  void UpdateToolTip();
};

// Sb1: three panels, the maker (raised), the current chapter and the date and time.
class TLessonStatusBar : public QWidget {
  Q_OBJECT
 public:
  explicit TLessonStatusBar(QWidget* parent);
  void Update(const QString& chapter);
  QString Text(int panel) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Layout();
  QList<QLabel*> m_panels;
};

// The top bar of a lesson screen with everything on it, the kind's title and item-editor caption.
struct LessonTopBar {
  QWidget* bar;
  TLabel3D* Label3D7;
  QToolButton* HELPSB;
  QToolButton* zjsb;
  QToolButton* zsb;
  QToolButton* UpSb;
  QToolButton* DownSb;
  TChapterSelector* CB1;
  QToolButton* QuitSb;
};
LessonTopBar BuildLessonTopBar(QWidget* parent, const LessonKind& kind);
