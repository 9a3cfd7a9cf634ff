// cDIBSectionRegion: region data blocks to and from files and resources.

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "graphics/dib_section_region.h"
#include "platform/gdi32/wingdi.h"
#include "platform/kernel32/winbase.h"
#include "platform/runtime/app_paths.h"
#include "platform/runtime/regular_file.h"

namespace {

// File errors, by the numbers the program's file layer has always used.
constexpr int kErrFileNotFound = 53;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrFileAccess = 75;
constexpr int kErrPathNotFound = 76;
// A resource of the program's own that is missing.
constexpr int kErrResourceNotFound = 326;

std::string ClassSource() { return tamso::ApplicationExeName() + ".cDIBSectionRegion"; }

[[noreturn]] void Raise(int number, const std::string& description) {
  throw tamso::Error(number, description, ClassSource());
}

[[noreturn]] void RaiseFileError(int error, bool reading) {
  switch (error) {
    case ENOENT:
      if (reading) throw tamso::Error(kErrFileNotFound, "File not found", tamso::ApplicationExeName());
      throw tamso::Error(kErrPathNotFound, "Path not found", tamso::ApplicationExeName());
    case EACCES:
    case EPERM:
    case EROFS:
      throw tamso::Error(kErrPermissionDenied, "Permission denied", tamso::ApplicationExeName());
    default:
      throw tamso::Error(kErrFileAccess, "Path/File access error", tamso::ApplicationExeName());
  }
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::vector<BYTE> ReadRegionFile(const std::string& path) {
  // The length is a 32-bit count, as is the buffer's size; an empty file has no buffer.
  std::error_code error;
  std::optional<std::vector<BYTE>> bytes =
      tamso::ReadWholeFile(path, std::numeric_limits<LONG>::max(), error);
  if (!bytes && error.value() == EFBIG) tamso::RaiseStandardError(tamso::kErrOverflow);
  if (!bytes) RaiseFileError(error.value(), true);
  if (bytes->empty()) tamso::RaiseStandardError(tamso::kErrSubscriptOutOfRange);
  return std::move(*bytes);
}

// A name for a new file in the folder of `path` that no file has yet: hidden, of a fixed
// short length whatever the saved file is called, and random, so that it is hard to guess.
std::string TemporaryNameBeside(const std::string& path, std::mt19937& random) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  const std::size_t slash = path.rfind('/');
  std::string name = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".rgn-";
  for (int i = 0; i < 10; ++i) name += kLetters[pick(random)];
  return name + ".tmp";
}

// Writes `bytes` to a new file beside `path`, flushes it to the disk and renames it over
// `path`: the old file is replaced only by a complete new one, and a failed save leaves
// it as it was. The new file never replaces one that exists (O_EXCL); on any failure it
// is removed again.
void ReplaceFile(const std::string& path, const std::vector<BYTE>& bytes) {
  std::mt19937 random(std::random_device{}());
  std::string temporary;
  tamso::FileDescriptor file;
  for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
    temporary = TemporaryNameBeside(path, random);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) RaiseFileError(errno, false);
    file = tamso::FileDescriptor(fd);
  }
  if (!file.valid()) RaiseFileError(EEXIST, false);
  int error = tamso::WriteAll(file.get(), bytes);
  if (error == 0 && ::fsync(file.get()) != 0) error = errno;
  if (const int closed = file.close(); error == 0) error = closed;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    RaiseFileError(error, false);
  }
  // The rename is durable once the folder's entry is on the disk too. The file itself is
  // complete by now, so a folder that cannot be synced (some file systems refuse) is no
  // reason to report a failed save.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const tamso::FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.valid()) ::fsync(directory.get());
}

// The decimal text of a number, or the name itself.
QString TextOf(const ResourceId& id) {
  if (const LONG* number = std::get_if<LONG>(&id)) return QString::number(*number);
  return std::get<QString>(id);
}

// The resource name in the platform's notation: "#" and the digits for a number.
std::string ResourceNameOf(const ResourceId& id) {
  const QString text = TextOf(id);
  const bool numeric = std::holds_alternative<LONG>(id) ||
                       (!text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
                         return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                       }));
  return (numeric ? QStringLiteral("#") + text : text).toStdString();
}

// A library opened as data, released at the end of its scope.
class DataLibrary {
 public:
  explicit DataLibrary(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), 0, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataLibrary() {
    if (module_) FreeLibrary(module_);
  }
  DataLibrary(const DataLibrary&) = delete;
  DataLibrary& operator=(const DataLibrary&) = delete;
  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

bool cDIBSectionRegion::CreateFromRegionData(std::span<const BYTE> data) {
  Destroy();
  if (data.size() > std::numeric_limits<DWORD>::max()) return false;
  m_hRgn = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                           reinterpret_cast<const RGNDATA*>(data.data()));
  return m_hRgn != 0;
}

bool cDIBSectionRegion::Save(const QString& sPath) {
  try {
    if (m_hRgn == 0) Raise(kErrNoRegion, "No region to save");
    const DWORD size = GetRegionData(m_hRgn, 0, nullptr);
    if (size < 1) Raise(kErrRegionSize, "Unable to determine size of region");
    std::vector<BYTE> block(size);
    if (GetRegionData(m_hRgn, size, reinterpret_cast<RGNDATA*>(block.data())) != size)
      Raise(kErrRegionData, "Unable to get region data");
    ReplaceFile(NativePath(sPath), block);
    return true;
  } catch (const tamso::Error& e) {
    throw tamso::Error(e.number(), e.description(), ClassSource());
  }
}

bool cDIBSectionRegion::LoadFromFile(const QString& sFileName) {
  std::vector<BYTE> bytes;
  try {
    bytes = ReadRegionFile(NativePath(sFileName));
  } catch (const tamso::Error& e) {
    throw tamso::Error(e.number(), e.description(), ClassSource());
  }
  return CreateFromRegionData(bytes);
}

bool cDIBSectionRegion::LoadFromResource(const ResourceId& vID, const QString& sDLL) {
  const std::string name = ResourceNameOf(vID);
  if (sDLL.isEmpty()) {
    const HRSRC resource = FindResourceA(0, name.c_str(), RT_RCDATA);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(0, resource)));
    if (!data)
      throw tamso::Error(kErrResourceNotFound,
                         "Resource with identifier '" + TextOf(vID).toStdString() + "' not found",
                         tamso::ApplicationExeName());
    return CreateFromRegionData({data, SizeofResource(0, resource)});
  }

  const DataLibrary library(NativePath(sDLL));
  if (!library.get()) Raise(kErrLibrary, "Can't open DLL for Resource Access");
  const HRSRC resource = FindResourceA(library.get(), name.c_str(), RT_RCDATA);
  if (!resource) Raise(kErrResource, "Resource with ID " + TextOf(vID).toStdString() + " could not be found");
  const DWORD size = SizeofResource(library.get(), resource);
  const HGLOBAL loaded = LoadResource(library.get(), resource);
  if (!loaded) Raise(kErrResource, "Cannot access data for resource with ID " + TextOf(vID).toStdString());
  const auto* data = static_cast<const BYTE*>(LockResource(loaded));
  if (!data) return false;
  // The bytes are copied before the library is released.
  const std::vector<BYTE> bytes(data, data + size);
  return CreateFromRegionData(bytes);
}
