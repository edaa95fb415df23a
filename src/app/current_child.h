// SPDX-License-Identifier: GPL-3.0-or-later
// The child chosen on the picker, whose practice the screens note. Until one is chosen (no
// profile exists) it is children::kNoChild and notes stay unassigned, as before profiles.
#pragma once

#include <QObject>

#include "data/children.h"

class TCurrentChild : public QObject {
  Q_OBJECT
 public:
  static TCurrentChild* Instance();
  const children::Child& Get() const { return m_child; }
  // Chooses `child` (kNoChild for none) and tells the windows that show it.
  void Set(const children::Child& child);

 Q_SIGNALS:
  void Changed();

 private:
  children::Child m_child;
};

// Shortcuts for the screens and the practice log.
inline const children::Child& CurrentChild() { return TCurrentChild::Instance()->Get(); }
inline int CurrentChildId() { return CurrentChild().id; }
inline void SetCurrentChild(const children::Child& child) { TCurrentChild::Instance()->Set(child); }
