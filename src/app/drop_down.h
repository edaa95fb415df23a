// SPDX-License-Identifier: GPL-3.0-or-later
// Chapter names may be hundreds of characters long; the drop-down lists that show them must not
// grow to the width of the screen.
#pragma once

class QComboBox;

// The opened list of `box` is at most twice as wide as the box itself. An entry that does not
// fit ends in "…" and shows whole as a tooltip; so does the closed box's own text.
void CapDropDownWidth(QComboBox* box);
