// SPDX-License-Identifier: GPL-3.0-or-later
// The shell's shared routines and texts used by every screen.
#pragma once

#include <QFont>
#include <QString>

#include "platform/error_report.h"

class QLineEdit;
class QWidget;

// Recording path of the lesson item most recently chosen on a lesson screen.
extern QString CurrentSoundFile;
// Name of the row an editor is about to modify, as it stood before editing.
extern QString EditOldName;

// Blocking pause of whole seconds; handles no window messages meanwhile.
void WaitSeconds(int seconds);

// The plain form of a positive 32-bit whole number typed as `text` (full-width digits and
// surrounding blanks accepted), or an empty string when it is none.
QString PositiveIntegerText(const QString& text);

// True when the box holds a positive 32-bit whole number (full-width digits and surrounding blanks
// are accepted, and the box is then set to the plain number); otherwise warns, empties and
// focuses it.
bool CheckIntegerEdit(QLineEdit* edit);

// Sky blue above, warm below (the pronunciation pop-up's colours) as the window's background,
// spread over any size.
void SetSkyBackground(QWidget* window);

// Asks for the window maximised and lays it out again whenever its state changes: a window manager
// maximising the first showing may give the new size with no resize event, leaving the contents
// at the size asked before.
void StartMaximized(QWidget* window);

// 宋体 at a pixel size, mapped onto the CJK fonts this platform has.

QFont SongFont(int pixelSize, bool bold = false, bool italic = false, bool underline = false);
