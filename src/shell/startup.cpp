#include "shell/startup.h"

#include <QApplication>
#include <QMainWindow>

#include "shell/data_module.h"
#include "shell/screen_registry.h"
#include "shell/shared_routines.h"

int RunTindora(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tindora"));
  QApplication::setApplicationDisplayName(kApplicationTitle);
  RegisterAllScreens();
  QMainWindow window;
  dm = CreateDataModule(&window);
  if (!dm) return 1;
  window.showMaximized();
  const int status = app.exec();
  delete dm;
  dm = nullptr;
  return status;
}
