// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

#include "app/app_icon.h"
#include "app/application.h"
#include "app/double_click_guard.h"
#include "app/main_form.h"
#include "app/quit_request.h"
#include "app/screen_registry.h"
#include "app/screen_scale.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "platform/db_watchdog.h"
#include "platform/dialogs.h"
#include "platform/install_paths.h"
#include "platform/logging.h"
#include "platform/sound.h"
#include "platform/startup_profile.h"

// After Qt's own headers: the window system's events before the toolkit hands them on.
#include <qpa/qwindowsysteminterface_p.h>

namespace {

int g_signalPipe[2] = {-1, -1};
int g_endingPipe[2] = {-1, -1};

// How long the program may take to end after a termination signal, whatever it is waiting for.
constexpr int kEndWithinMs = 2000;

void OnTerminate(int) {
  RequestQuit();  // a pause in progress returns, so the loop sees the pipe at once
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
  [[maybe_unused]] const ssize_t m = ::write(g_endingPipe[1], &byte, 1);
}

// The toolkit drops a close request for a window that a modal window blocks. A message box is
// only a notice: a user who closes the menu while one shows (typically the box that follows a
// wait on a frozen server, during which the close was made) wants the program ended, so it ends
// as on a termination signal instead of staying up behind the box. Under a screen or an editor,
// whose entries would go, the menu's close stays refused.
class CloseUnderABox : public QWindowSystemEventHandler {
 public:
  bool sendEvent(QWindowSystemInterfacePrivate::WindowSystemEvent* event) override {
    if (event->type == QWindowSystemInterfacePrivate::Close && MainForm &&
        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      const auto* close = static_cast<QWindowSystemInterfacePrivate::CloseEvent*>(event);
      if (close->window && close->window == MainForm->windowHandle()) {
        qCInfo(lcUi) << "the menu was closed while a message box showed: ending";
        platform::SetProgramEnding(true);  // no further box waits for a click
        OnTerminate(0);
        QApplication::exit(0);  // the box's loop too
        return true;
      }
    }
    return QWindowSystemEventHandler::sendEvent(event);
  }
} g_closeUnderABox;

// The interface thread may be stuck in the driver on a frozen server and never see the pipe: a
// thread of its own cancels every statement, so that it returns, and no box waits for a click.
// Should the ending still hang, the process ends at the bound; the notes' spool is written by then.
// A byte 2 says that the ending is done (RunApplication returned): nothing more to bound.
void WatchForTheEnd() {
  if (g_endingPipe[0] >= 0 || ::pipe2(g_endingPipe, O_CLOEXEC) != 0) return;
  std::thread([] {
    for (;;) {
      char byte = 0;
      if (::read(g_endingPipe[0], &byte, 1) < 0 && errno == EINTR) continue;
      if (byte != 1) continue;
      const auto start = std::chrono::steady_clock::now();
      platform::SetProgramEnding(true);
      platform::CancelAllStatements(true);
      for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start + std::chrono::milliseconds(kEndWithinMs - 100) -
            std::chrono::steady_clock::now());
        pollfd p{g_endingPipe[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) == 0) {
          qCWarning(lcUi) << "still ending" << kEndWithinMs - 100
                          << "ms after the termination signal";
          ::_exit(0);
        }
        if (::read(g_endingPipe[0], &byte, 1) == 1 && byte == 2) break;
      }
      // Ended in time (tests start the program again in the same process).
      platform::SetProgramEnding(false);
      platform::CancelAllStatements(false);
    }
  }).detach();
}

void EndingDone() {
  const char byte = 2;
  if (g_endingPipe[1] >= 0) {
    [[maybe_unused]] const ssize_t n = ::write(g_endingPipe[1], &byte, 1);
  }
}

// SIGTERM (logout, shutdown, kill) and SIGINT (Ctrl-C) end the message loop, so the program ends
// the ordinary way and closes its connection. The handler only writes to a pipe; the loop reads it.
void EndOnTerminationSignals(QObject* owner) {
  if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
  QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
    QApplication::exit(0);
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  WatchForTheEnd();
  QWindowSystemInterfacePrivate::installWindowSystemEventHandler(&g_closeUnderABox);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// Runs `then` once `drawn` has been drawn for the first time, after that drawing is done.
class AfterFirstDrawing : public QObject {
 public:
  AfterFirstDrawing(QWidget* drawn, std::function<void()> then)
      : QObject(drawn), m_then(std::move(then)) {
    drawn->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] {
        m_then();
        deleteLater();
      });
    }
    return false;
  }

 private:
  std::function<void()> m_then;
};

}  // namespace

int RunApplication(int argc, char** argv, const StartupHooks& hooks) {
  StartupMark("shared objects loaded, main entered");
  PrepareScreenScale();
  TApplication app(argc, argv);
  ApplyScreenScale();
  StartupMark("application object (display, platform plugin)");
  QApplication::setApplicationName(kApplicationTitle);
  PrepareDataModule();  // the lesson file is checked while the menu is built
  QGuiApplication::setDesktopFileName(QStringLiteral("com.example.Tindora"));
  // Qt's own dialogs (the lesson packs' file dialog) speak Chinese like the rest of the program.
  auto* qtTexts = new QTranslator(&app);
  if (qtTexts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(qtTexts);
  platform::SetSoundNameResolver(SoundFilePath);  // drill sounds from any working folder
  InstallDoubleClickGuard();
  if (hooks.registerWindows) hooks.registerWindows();
  EndOnTerminationSignals(&app);
  StartupMark("translations, window list");

  // The first window made is the main window: closing it ends the message loop.
  MainForm = new TMainForm;
  StartupMark("menu built");
  dm = CreateDataModule(MainForm);
  StartupMark("lesson database open");
  if (!dm) {
    delete MainForm;
    return 1;
  }
  if (hooks.connected) hooks.connected(dm->ConnectionName());
  // Fill the screen even where no window manager honours "maximised".
  MainForm->setGeometry(MainForm->screen()->availableGeometry());
  // After the menu's first drawing (the background, the first thing drawn): the icon shows only
  // in the task switcher, and reading its pictures before made the child wait.
  new AfterFirstDrawing(MainForm->Image1, [drawn = hooks.drawn] {
    StartupMark("menu drawn");
    QApplication::setWindowIcon(AppIcon());
    StartupMark("icon read");
    if (drawn) drawn();
  });
  MainForm->showMaximized();
  StartupMark("menu shown");
  if (hooks.shown) hooks.shown(MainForm);
  const int status = QApplication::exec();
  delete MainForm;
  if (hooks.finished) hooks.finished();
  delete dm;
  dm = nullptr;
  platform::StopStatementWatch();
  QWindowSystemInterfacePrivate::removeWindowSystemEventhandler(&g_closeUnderABox);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  EndingDone();
  return status;
}
