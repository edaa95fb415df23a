// SPDX-License-Identifier: GPL-3.0-or-later
// The program's application object: errors that escape an event handler reach the
// application-wide error report instead of ending the program.
#pragma once

#include <QApplication>

class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);

  // Delivers the event; a std::exception thrown by its handler is reported and the event counts
  // as not handled, so the program goes on with the next event.
  bool notify(QObject* receiver, QEvent* event) override;
};

// Minimises every window of the application, as the task bar's minimise would.
void MinimizeApplication();
