// SPDX-License-Identifier: GPL-3.0-or-later
// A second opinion on the WAV files the program writes: Python's wave module reads them, so a
// fault in our writer is not hidden by a reader that shares its mistakes.
#pragma once

#include <QString>

namespace testing {

// Empty when `path` is a whole mono 16-bit 22,050 Hz PCM WAV: byte rate, block align, the data
// size and the RIFF size agreeing with the file; otherwise what is wrong.
QString WavHeaderFault(const QString& path);

}  // namespace testing
