#include "platform/gbk.h"

#include <QStringEncoder>

namespace platform {

int GbkLength(const QString& text) {
  QStringEncoder encoder("GBK");
  if (!encoder.isValid()) return static_cast<int>(text.toLocal8Bit().size());
  const QByteArray bytes = encoder.encode(text);
  return static_cast<int>(bytes.size());
}

}  // namespace platform
