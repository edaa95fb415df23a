// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>
#include <csignal>

#include "app/app_icon.h"
#include "app/application.h"
#include "app/double_click_guard.h"
#include "app/main_form.h"
#include "app/quit_request.h"
#include "app/screen_registry.h"
#include "app/screen_scale.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "platform/install_paths.h"
#include "platform/sound.h"
#include "platform/startup_profile.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
  RequestQuit();  // a pause in progress returns, so the loop sees the pipe at once
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
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
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// Sets the program's icon once the menu has been drawn. It shows only in the task switcher, and
// reading its four pictures before the first drawing made the child wait 5 ms longer.
class IconAfterFirstDrawing : public QObject {
 public:
  // `drawn`: a widget that is drawn with the window's first drawing.
  explicit IconAfterFirstDrawing(QWidget* drawn) : QObject(drawn) {
    drawn->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      // After the whole window is drawn and shown, not before its first part.
      QTimer::singleShot(0, this, [this] {
        StartupMark("menu drawn");
        QApplication::setWindowIcon(AppIcon());
        StartupMark("icon read");
        deleteLater();
      });
    }
    return false;
  }
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
  new IconAfterFirstDrawing(MainForm->Image1);  // the background, the first thing drawn
  MainForm->showMaximized();
  StartupMark("menu shown");
  if (hooks.shown) hooks.shown(MainForm);
  const int status = QApplication::exec();
  delete MainForm;
  if (hooks.finished) hooks.finished();
  delete dm;
  dm = nullptr;
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  return status;
}
