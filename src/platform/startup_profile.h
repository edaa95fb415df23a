// SPDX-License-Identifier: GPL-3.0-or-later
// Marks of the start-up's phases for bench_startup: when TINDORA_STARTUP_PROFILE names a file,
// each mark appends "<phase> <ms on the monotonic clock>" to it. Otherwise a mark costs a test.
#pragma once

void StartupMark(const char* phase);
