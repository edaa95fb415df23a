// SPDX-License-Identifier: GPL-3.0-or-later
// What the editors need from the lesson screen that opened them: a way to reload its chapters
// when they are left, so that the edits show at once.
#pragma once

#include <QWidget>

class LessonScreen {
 public:
  virtual ~LessonScreen() = default;
  // Refills the chapter selector, selects the first chapter and shows it.
  virtual void LoadChapters() = 0;
};

// The lesson screen `owner` is, or lies on; nullptr when it was opened from elsewhere.
inline LessonScreen* FindLessonScreen(QWidget* owner) {
  for (QWidget* w = owner; w; w = w->parentWidget())
    if (auto* screen = dynamic_cast<LessonScreen*>(w)) return screen;
  return nullptr;
}
