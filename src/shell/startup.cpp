#include "shell/startup.h"

#include <QApplication>
#include <QMainWindow>

#include "shell/shared_routines.h"

int RunTindora(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tindora"));
  QApplication::setApplicationDisplayName(kApplicationTitle);
  QMainWindow window;
  window.showMaximized();
  return app.exec();
}
