// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gbk.h"

#include <QStringEncoder>

namespace platform {

int GbkLength(const QString& text) {
  // GB18030 encodes every GBK character as GBK does, and a character outside GBK in four bytes
  // where a plain GBK encoder would count a one-byte substitute: an emoji must not pass as one
  // byte of a four-byte name.
  QStringEncoder encoder("GB18030");
  if (!encoder.isValid()) return static_cast<int>(text.toLocal8Bit().size());
  const QByteArray bytes = encoder.encode(text);
  return static_cast<int>(bytes.size());
}

}  // namespace platform
