#include "platform/avifil32/avi_objects.h"

#include <map>
#include <mutex>

#include "platform/runtime/handle_table.h"

namespace tamso::avifile {
namespace {

struct FileObject {
  std::shared_ptr<const AviDescription> description;
  ULONG references = 1;
  std::map<std::size_t, PAVISTREAM> streams;  // stream index -> its handle, once made
};

struct StreamObject {
  PAVIFILE file = 0;
  std::size_t index = 0;
  ULONG references = 0;
};

// The tables guard themselves, but a count changes together with both tables, so one
// lock covers each whole operation.
struct Objects {
  std::mutex mutex;
  HandleTable<FileObject> files;
  HandleTable<StreamObject> streams;
};

Objects& TheObjects() {
  static Objects objects;
  return objects;
}

// Drops one file reference; removes the file and its stream handles at 0.
ULONG DropFileReference(Objects& objects, PAVIFILE handle, FileObject& file) {
  if (--file.references != 0) return file.references;
  for (const auto& [index, stream] : file.streams) objects.streams.remove(stream);
  objects.files.remove(handle);
  return 0;
}

}  // namespace

PAVIFILE AddFile(AviDescription description) {
  auto object = std::make_unique<FileObject>();
  object->description = std::make_shared<const AviDescription>(std::move(description));
  Objects& objects = TheObjects();
  std::lock_guard lock(objects.mutex);
  return objects.files.add(std::move(object));
}

std::shared_ptr<const AviDescription> FindFile(PAVIFILE file) {
  Objects& objects = TheObjects();
  std::lock_guard lock(objects.mutex);
  const FileObject* object = objects.files.find(file);
  return object ? object->description : nullptr;
}

PAVISTREAM AddStreamReference(PAVIFILE file, std::size_t index) {
  Objects& objects = TheObjects();
  std::lock_guard lock(objects.mutex);
  FileObject* owner = objects.files.find(file);
  if (!owner || index >= owner->description->streams.size()) return 0;
  PAVISTREAM& handle = owner->streams[index];
  if (handle == 0) {
    auto stream = std::make_unique<StreamObject>();
    stream->file = file;
    stream->index = index;
    handle = objects.streams.add(std::move(stream));
  }
  ++objects.streams.find(handle)->references;
  ++owner->references;
  return handle;
}

StreamRef FindStreamRef(PAVISTREAM stream) {
  Objects& objects = TheObjects();
  std::lock_guard lock(objects.mutex);
  const StreamObject* object = objects.streams.find(stream);
  if (!object) return {};
  return {objects.files.find(object->file)->description, object->index};
}

ULONG ReleaseFile(PAVIFILE file) {
  Objects& objects = TheObjects();
  std::lock_guard lock(objects.mutex);
  FileObject* object = objects.files.find(file);
  return object ? DropFileReference(objects, file, *object) : 0;
}

ULONG ReleaseStream(PAVISTREAM stream) {
  Objects& objects = TheObjects();
  std::lock_guard lock(objects.mutex);
  StreamObject* object = objects.streams.find(stream);
  if (!object) return 0;
  const ULONG left = --object->references;
  const PAVIFILE fileHandle = object->file;
  FileObject& file = *objects.files.find(fileHandle);
  if (left == 0) {
    file.streams.erase(object->index);
    objects.streams.remove(stream);
  }
  DropFileReference(objects, fileHandle, file);
  return left;
}

std::size_t OpenFileCount() { return TheObjects().files.size(); }
std::size_t OpenStreamCount() { return TheObjects().streams.size(); }

}  // namespace tamso::avifile
