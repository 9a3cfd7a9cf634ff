#include "platform/winmm/fluidsynth_library.h"

#include <dlfcn.h>

#include <mutex>

#ifdef TAMSO_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace tamso::winmm {

namespace {

struct LibraryCloser {
  void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

constexpr const char* kFluidSynthFile = "libfluidsynth.so.3";

LibraryHandle OpenLibrary(const char* fileName, int extraFlags = 0) {
  return LibraryHandle(dlopen(fileName, RTLD_NOW | RTLD_LOCAL | extraFlags));
}

template <typename Function>
bool LookUp(void* library, const char* name, Function& function) {
  // POSIX guarantees that a data pointer from dlsym converts to a function pointer.
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

struct OpenedFluidSynth {
  LibraryHandle handle;
  FluidSynthLibrary functions;
};

#ifdef TAMSO_HAVE_ALSA
void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// Only the ALSA that FluidSynth brought with it is told; if it brought none, nobody talks.
void SilenceAlsa() {
  const LibraryHandle alsa = OpenLibrary("libasound.so.2", RTLD_NOLOAD);
  decltype(&::snd_lib_error_set_handler) setHandler = nullptr;
  if (alsa && LookUp(alsa.get(), "snd_lib_error_set_handler", setHandler)) setHandler(IgnoreAlsaMessage);
}
#endif

// FluidSynth, and ALSA below it, print their errors to the terminal by default; a program
// with a window reports them through results instead.
void Silence(const FluidSynthLibrary& fluid) {
  for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
    fluid.fluid_set_log_function(level, nullptr, nullptr);
#ifdef TAMSO_HAVE_ALSA
  SilenceAlsa();
#endif
}

// Three of FluidSynth's libraries must not be unloaded, so they stay once loaded:
// - its instrument library registers GObject types with GLib, which never unloads. Loaded
//   again, it would register them a second time, which fails and leaves every later
//   synthesiser waiting for the types for ever;
// - OpenMP's runtime sets up state when it is loaded and hooks the end of every thread;
// - ALSA parses its configuration once into a tree it keeps for the library's life: an
//   unload would lose that tree (some 90 KB) at every tune, a library kept reuses it.
void KeepUnloadUnsafeLibrariesLoaded() {
  for (const char* fileName : {"libinstpatch-1.0.so.2", "libgomp.so.1", "libasound.so.2"})
    OpenLibrary(fileName, RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace

std::shared_ptr<const FluidSynthLibrary> OpenFluidSynthLibrary(const char* fileName) {
  auto opened = std::make_shared<OpenedFluidSynth>();
  opened->handle = OpenLibrary(fileName);
  if (!opened->handle) return nullptr;
  void* const library = opened->handle.get();
  FluidSynthLibrary& functions = opened->functions;
#define TAMSO_FLUIDSYNTH_LOOK_UP(name) \
  if (!LookUp(library, #name, functions.name)) return nullptr;
  TAMSO_FLUIDSYNTH_FUNCTIONS(TAMSO_FLUIDSYNTH_LOOK_UP)
#undef TAMSO_FLUIDSYNTH_LOOK_UP
  // Shares the ownership of the handle, points at the functions.
  return std::shared_ptr<const FluidSynthLibrary>(opened, &opened->functions);
}

std::shared_ptr<const FluidSynthLibrary> FluidSynth() {
  struct Shared {
    std::mutex mutex;
    std::weak_ptr<const FluidSynthLibrary> library;
  };
  // Never destroyed: a synthesiser still starting on its own thread when the process exits
  // may come here after static objects have been destroyed.
  static Shared& shared = *new Shared;
  std::lock_guard lock(shared.mutex);
  if (auto library = shared.library.lock()) return library;
  auto opened = OpenFluidSynthLibrary(kFluidSynthFile);
  if (opened) {
    Silence(*opened);
    KeepUnloadUnsafeLibrariesLoaded();
  }
  shared.library = opened;
  return opened;
}

bool FluidSynthLoaded() { return OpenLibrary(kFluidSynthFile, RTLD_NOLOAD) != nullptr; }

}  // namespace tamso::winmm
