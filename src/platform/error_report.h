// SPDX-License-Identifier: GPL-3.0-or-later
// The application-wide error report, for errors that no screen handles itself.
#pragma once

#include <QString>

// The application title shown in the task bar and on error reports.
inline const QString kApplicationTitle = QStringLiteral("Tindora");

// Application-wide error report: the error text in a message box titled with the application
// title and the error icon; the program then goes on. The user reads Chinese only: the driver's or
// a library's words (see DriverWords) go to the log (tindora.db) and the box says what failed and
// what to do.
void ReportError(const QString& text);
// The program's own texts begin with a Chinese character or Chinese punctuation; the words of a
// driver or library ("no such table: ...", "[unixODBC]...") with an ASCII one.
bool DriverWords(const QString& text);
// The report's text: a full stop is appended when the last character sorts after ".".
QString ErrorReportText(const QString& text);
