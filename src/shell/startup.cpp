#include "shell/startup.h"

#include <QScreen>

#include "platform/sound.h"
#include "shell/app_icon.h"
#include "shell/application.h"
#include "shell/data_module.h"
#include "shell/install_paths.h"
#include "shell/main_form.h"
#include "shell/screen_registry.h"
#include "shell/screen_scale.h"
#include "shell/shared_routines.h"

int RunTindora(int argc, char** argv, const StartupShownHook& shown) {
  PrepareScreenScale(argc, argv);
  TApplication app(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setWindowIcon(AppIcon());
  QGuiApplication::setDesktopFileName(QStringLiteral("com.example.Tindora"));
  platform::SetSoundNameResolver(SoundFilePath);  // drill sounds from any working folder
  RegisterAllScreens();

  // The first window made is the main window: closing it ends the message loop.
  MainForm = new TMainForm;
  dm = CreateDataModule(MainForm);
  if (!dm) {
    delete MainForm;
    return 1;
  }
  // Fill the screen even where no window manager honours "maximised".
  MainForm->setGeometry(MainForm->screen()->availableGeometry());
  MainForm->showMaximized();
  if (shown) shown(MainForm);
  const int status = QApplication::exec();
  delete MainForm;
  delete dm;
  dm = nullptr;
  return status;
}
