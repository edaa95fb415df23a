// SPDX-License-Identifier: GPL-3.0-or-later
// Seams for everything the program tells or asks a user: message boxes, the file-open dialog and
// opening a web address. Tests swap in scripted handlers that record each call.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// Message box flags and answers keep their Windows values, which the screens are written against.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using MessageBoxHandler =
    std::function<int(QWidget* owner, const QString& text, const QString& title, unsigned flags)>;
using OpenFileHandler = std::function<QString(QWidget* owner, const QString& title,
                                              const QString& filter, const QString& folder)>;
using SaveFileHandler = std::function<QString(QWidget* owner, const QString& title,
                                              const QString& filter, const QString& suggested)>;
using OpenUrlHandler = std::function<bool(const QString& url)>;

// Once the program is ending (a termination signal), boxes are not shown: the message goes to
// the log and the box answers as if closed (IDOK, or IDNO for a question).
void SetProgramEnding(bool ending);

// Modal message box owned by `owner`; returns IDOK, IDYES or IDNO.
int MessageBox(QWidget* owner, const QString& text, const QString& title, unsigned flags);
// File-open dialog starting in `folder` (empty: the platform's choice); returns the chosen full
// path, or an empty string when cancelled. A typed name need not exist; without an extension it
// gets the filter's.
QString GetOpenFileName(QWidget* owner, const QString& title, const QString& filter,
                        const QString& folder = QString());
// File-save dialog starting at `suggested`; asks before replacing a file. Returns the chosen full
// path, or an empty string when cancelled.
QString GetSaveFileName(QWidget* owner, const QString& title, const QString& filter,
                        const QString& suggested = {});
// Opens a web address in the default browser.
bool OpenUrl(const QString& url);

// Replace a handler (tests); an empty function restores the real one.
void SetMessageBoxHandler(MessageBoxHandler handler);
void SetOpenFileHandler(OpenFileHandler handler);
void SetSaveFileHandler(SaveFileHandler handler);
void SetOpenUrlHandler(OpenUrlHandler handler);

}  // namespace platform
