// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/current_child.h"

TCurrentChild* TCurrentChild::Instance() {
  static TCurrentChild instance;
  return &instance;
}

void TCurrentChild::Set(const children::Child& child) {
  m_child = child;
  Q_EMIT Changed();
}
