// SPDX-License-Identifier: GPL-3.0-or-later
// What the adult should know about the course that a game cannot tell a child (the listening
// game's items it can never ask). The program installs it once the lesson database is open, so
// that the children's window, which shows it, knows nothing of the games.
#pragma once

#include <QString>
#include <functional>

using CourseNotice = std::function<QString()>;
void SetCourseNotice(CourseNotice notice);
// Empty when nothing is installed or there is nothing to say.
QString CourseNoticeText();
