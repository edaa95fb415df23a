// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/course_notice.h"

namespace {
CourseNotice& Installed() {
  static CourseNotice notice;
  return notice;
}
}  // namespace

void SetCourseNotice(CourseNotice notice) { Installed() = std::move(notice); }

QString CourseNoticeText() { return Installed() ? Installed()() : QString(); }
