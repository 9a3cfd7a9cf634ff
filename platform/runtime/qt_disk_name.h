#pragma once
// The Qt side of disk_name.h: the bytes of a file that Qt names by a QString.

#include <QString>
#include <string>

namespace tamso {

// The bytes that name on disk the file Qt calls `path` (Qt decodes a file name with
// QFile::decodeName, and a byte that is not UTF-8 becomes U+FFFD). Its UTF-8 when the
// path names no entry by other bytes, or when several entries show as it does.
std::string OnDiskName(const QString& path);

}  // namespace tamso
