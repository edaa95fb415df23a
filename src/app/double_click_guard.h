// SPDX-License-Identifier: GPL-3.0-or-later
// A double-click whose first click opens a window must not press whatever lies under the pointer
// in that window: "编辑字" lies where the item list's "删除" appears. A window therefore ignores
// mouse presses that come within the double-click interval of the last press made before it
// showed, or before a window over it closed. Event timestamps are compared, never a clock, so
// the guard sees what the platform saw.
#pragma once

#include <QHash>
#include <QObject>

class QWidget;

class DoubleClickGuard final : public QObject {
  Q_OBJECT
 public:
  explicit DoubleClickGuard(QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  quint64 m_lastPress = 0;
  bool m_pressed = false;  // any press seen yet
  // Windows shown since the last press, with that press's timestamp.
  QHash<QWidget*, quint64> m_armed;
  // Windows whose press was ignored: their release is ignored too.
  QHash<QWidget*, bool> m_swallowing;
};

// Guards every window of the application from now on.
void InstallDoubleClickGuard();
