#include "shell/startup.h"

#include <QScreen>

#include "records/recorder.h"
#include "shell/app_icon.h"
#include "shell/application.h"
#include "shell/data_module.h"
#include "shell/main_form.h"
#include "shell/screen_registry.h"
#include "shell/shared_routines.h"

int RunTindora(int argc, char** argv, const StartupShownHook& shown) {
  TApplication app(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setWindowIcon(AppIcon());
  RegisterAllScreens();

  // The first window made is the main window: closing it ends the message loop.
  MainForm = new TMainForm;
  dm = CreateDataModule(MainForm);
  if (!dm) {
    delete MainForm;
    return 1;
  }
  records::Start(dm->ConnectionName());
  // Fill the screen even where no window manager honours "maximised".
  MainForm->setGeometry(MainForm->screen()->availableGeometry());
  MainForm->showMaximized();
  if (shown) shown(MainForm);
  const int status = QApplication::exec();
  delete MainForm;
  records::Stop();
  delete dm;
  dm = nullptr;
  return status;
}
