// SPDX-License-Identifier: GPL-3.0-or-later
// Length of a text in the GBK code page, the unit in which the program limits names. A character
// that GBK cannot hold counts as GB18030's four bytes.
#pragma once

#include <QString>

namespace platform {

int GbkLength(const QString& text);

}  // namespace platform
