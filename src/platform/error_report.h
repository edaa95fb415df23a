// SPDX-License-Identifier: GPL-3.0-or-later
// The application-wide error report, for errors that no screen handles itself.
#pragma once

#include <QString>

// The application title shown in the task bar and on error reports.
inline const QString kApplicationTitle = QStringLiteral("Tindora");

// Application-wide error report: the error text in a message box titled with the application
// title and the error icon; the program then goes on.
void ReportError(const QString& text);
// The report's text: a full stop is appended when the last character sorts after ".".
QString ErrorReportText(const QString& text);
