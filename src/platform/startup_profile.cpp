// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/startup_profile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

void StartupMark(const char* phase) {
  static const char* const file = std::getenv("TINDORA_STARTUP_PROFILE");
  if (!file || !*file) return;
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  char line[160];
  const int n =
      std::snprintf(line, sizeof line, "%s %.3f\n", phase, ts.tv_sec * 1e3 + ts.tv_nsec / 1e6);
  const int fd = ::open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return;
  if (n > 0) (void)!::write(fd, line, static_cast<size_t>(std::min<int>(n, sizeof line - 1)));
  ::close(fd);
}
