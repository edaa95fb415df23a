// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screen_registry.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QScreen>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/shared_routines.h"
#include "platform/logging.h"

namespace {
QHash<QString, ScreenFactory>& Factories() {
  static QHash<QString, ScreenFactory> f;
  return f;
}
ShowScreenHook& Hook() {
  static ShowScreenHook h;
  return h;
}
}  // namespace

void RegisterScreen(const QString& className, ScreenFactory factory) {
  Factories().insert(className, std::move(factory));
}

bool IsScreenRegistered(const QString& className) { return Factories().contains(className); }

bool ShowScreen(const QString& className, QWidget* owner) {
  if (Hook()) return Hook()(className, owner);
  const auto it = Factories().constFind(className);
  if (it == Factories().constEnd()) {
    // A button that does nothing at all leaves the adult guessing.
    qCWarning(lcUi) << "no window registered as" << className;
    ReportError(QStringLiteral("无法打开窗口 %1：本程序中没有这个窗口").arg(className));
    return false;
  }
  QPointer<QDialog> screen = (*it)(owner);
  ExecModal(screen);
  delete screen;
  ReleaseFreedMemory();
  return true;
}

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

void SetShowScreenHook(ShowScreenHook hook) { Hook() = std::move(hook); }

void ExecModal(QDialog* window) {
  if (!window) return;
  window->setAttribute(Qt::WA_DeleteOnClose);
  // Without a window manager "maximised" means nothing: fill the screen ourselves.
  if (window->windowState() & Qt::WindowMaximized)
    window->setGeometry(window->screen()->availableGeometry());
  window->exec();
}
