// Length of a text in the GBK code page, the unit in which the program limits names.
#pragma once

#include <QString>

namespace platform {

int GbkLength(const QString& text);

}  // namespace platform
