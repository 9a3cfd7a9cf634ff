#include "platform/runtime/qt_disk_name.h"

#include <QFile>

#include "platform/runtime/disk_name.h"

namespace tamso {

std::string OnDiskName(const QString& path) {
  const std::string utf8 = path.toUtf8().toStdString();
  const auto shown = [](std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())))
        .toUtf8()
        .toStdString();
  };
  return FindOnDiskName(utf8, shown).value_or(utf8);
}

}  // namespace tamso
