// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own file dialog in Chinese whatever the machine's locale: Qt's translations give the
// buttons and captions, but the file list's size, type and date columns come from the locale and
// the MIME database ("WAV audio", "8 Dec"). Those columns are written here, and sized to fit.
#pragma once

class QFileDialog;

namespace platform {

// Makes `dialog` the toolkit's own (a desktop's native one follows the locale) with Chinese
// columns that show their texts whole.
void SpeakChinese(QFileDialog* dialog);

}  // namespace platform
