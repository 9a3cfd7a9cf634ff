#include "platform/winmm/midi_playback.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

// Debian 12's glibc declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "platform/runtime/app_paths.h"
#include "platform/runtime/regular_file.h"
#include "platform/winmm/tune_channel.h"

namespace tamso::winmm {

namespace fs = std::filesystem;

fs::path TunePlayerFor(const fs::path& executable) {
  constexpr const char* kPlayer = "tamso-avi-tune";
  const fs::path folder = executable.parent_path();
  if (folder.filename() == "bin") {
    const fs::path installed = folder.parent_path() / TAMSO_TUNE_PLAYER_SUBDIR / kPlayer;
    std::error_code error;
    if (fs::is_regular_file(installed, error)) return installed;
  }
  return folder / kPlayer;
}

fs::path TunePlayer() { return TunePlayerFor(ExecutablePath()); }

namespace {

// How long a stop waits for the player to end, and a start for it to report.
constexpr auto kLongestStop = std::chrono::milliseconds(500);
constexpr auto kLongestStart = std::chrono::seconds(10);

}  // namespace

// What the object and its thread share; the thread keeps it alive after a destructor that
// did not wait.
struct MidiPlayback::Session {
  std::mutex mutex;
  std::condition_variable changed;
  bool started = false;  // the start has succeeded or failed
  MCIERROR error = 0;
  bool stopAsked = false;
  bool finished = false;  // the player has ended and been reaped
  // The player's process, as a descriptor: a signal through it can never reach another
  // process that got the number later. Closed by the thread once the player is reaped.
  FileDescriptor player;
  FileDescriptor socket;  // the window's end, closed by the thread once the player has ended

  // Ends the player at once, unless it has ended already.
  void endPlayer(int signal) {
    if (player.valid()) pidfd_send_signal(player.get(), signal, nullptr, 0);
  }

  template <typename Update>
  void set(Update update) {
    {
      std::lock_guard lock(mutex);
      update();
    }
    changed.notify_all();
  }
};

namespace {

// A posix_spawn structure, set up when made and destroyed with the object.
template <typename Object, int (*Init)(Object*), int (*Destroy)(Object*)>
class SpawnObject {
 public:
  SpawnObject() { Init(&object_); }
  ~SpawnObject() { Destroy(&object_); }
  SpawnObject(const SpawnObject&) = delete;
  SpawnObject& operator=(const SpawnObject&) = delete;
  Object* get() { return &object_; }

 private:
  Object object_;
};
using SpawnActions =
    SpawnObject<posix_spawn_file_actions_t, posix_spawn_file_actions_init, posix_spawn_file_actions_destroy>;
using SpawnAttributes = SpawnObject<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;

// Starts the player with `socket` as its standard input and nothing else of the window's
// open files; its pid, or -1 when it cannot be started.
pid_t StartPlayer(const fs::path& player, const fs::path& soundFont, const AudioOutput& output, int socket) {
  SpawnActions actions;
  posix_spawn_file_actions_adddup2(actions.get(), socket, STDIN_FILENO);
  posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
  // The window's signal mask and handlers are not the player's.
  SpawnAttributes attributes;
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(attributes.get(), &signals);
  for (int signal : {SIGPIPE, SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals, signal);
  posix_spawnattr_setsigdefault(attributes.get(), &signals);
  posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> arguments = {player.string(), soundFont.string(), output.driver,
                                        output.fileName.string()};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, player.c_str(), actions.get(), attributes.get(), argv.data(), environ) != 0)
    return -1;
  return pid;
}

// Waits for the process behind `pidfd` to end, without reaping it.
void WaitForEnd(int pidfd) {
  pollfd ended{pidfd, POLLIN, 0};
  while (poll(&ended, 1, -1) < 0 && errno == EINTR) {
  }
}

void Play(const std::shared_ptr<MidiPlayback::Session>& session, const std::vector<std::uint8_t>& song,
          const fs::path& soundFont, const AudioOutput& output, const fs::path& player) {
  int ends[2];
  int pidfd = -1;
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0) {
    FileDescriptor theirs(ends[1]);
    std::lock_guard lock(session->mutex);
    session->socket = FileDescriptor(ends[0]);
    const pid_t pid = session->stopAsked ? -1 : StartPlayer(player, soundFont, output, theirs.get());
    // Not yet reaped, so the number is still the player's.
    if (pid > 0) session->player = FileDescriptor(pidfd_open(pid, 0));
    if (pid > 0 && !session->player.valid()) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    pidfd = session->player.get();
  }
  if (pidfd < 0) {
    session->set([&] {
      session->started = session->finished = true;
      session->error = MCIERR_CANNOT_LOAD_DRIVER;
      session->socket.close();
    });
    return;
  }
  const int socket = session->socket.get();
  // A player that ends without a word could not start.
  const MCIERROR error = (SendSong(socket, song) ? ReceiveStartResult(socket) : std::nullopt)
                             .value_or(MCIERR_CANNOT_LOAD_DRIVER);
  session->set([&] {
    session->started = true;
    session->error = error;
  });
  WaitForEnd(pidfd);
  session->set([&] {
    siginfo_t info{};
    waitid(P_PIDFD, static_cast<id_t>(pidfd), &info, WEXITED);
    session->player.close();
    session->socket.close();
    session->finished = true;
  });
}

}  // namespace

MidiPlayback::MidiPlayback(std::span<const std::uint8_t> song, fs::path soundFont, AudioOutput output,
                           fs::path player)
    : session_(std::make_shared<Session>()),
      waiter_(Play, session_, std::vector<std::uint8_t>(song.begin(), song.end()), std::move(soundFont),
              std::move(output), std::move(player)) {}

MidiPlayback::~MidiPlayback() {
  std::unique_lock lock(session_->mutex);
  session_->stopAsked = true;
  // The player stops when its end of the socket reads as closed.
  if (session_->socket.valid()) shutdown(session_->socket.get(), SHUT_RDWR);
  // A start may be deep in a slow step (a large soundfont, a sound server that does not
  // answer, an output that does not open): the player is ended at once instead.
  if (!session_->started) session_->endPlayer(SIGTERM);
  // The caller may be the window's own thread: a player that does not end promptly (its
  // sound server hangs) is ended, and the thread reaps it on its own.
  if (!session_->changed.wait_for(lock, kLongestStop, [this] { return session_->finished; })) {
    session_->endPlayer(SIGKILL);
    lock.unlock();
    waiter_.detach();
    return;
  }
  lock.unlock();
  waiter_.join();
}

MCIERROR MidiPlayback::started() {
  std::unique_lock lock(session_->mutex);
  if (!session_->changed.wait_for(lock, kLongestStart, [this] { return session_->started; })) {
    // A start that hangs (a sound server that never answers) is given up.
    session_->endPlayer(SIGKILL);
    return MCIERR_HARDWARE;
  }
  return session_->error;
}

bool MidiPlayback::playing() const {
  std::lock_guard lock(session_->mutex);
  return !session_->finished && session_->error == 0;
}

void MidiPlayback::wait() {
  std::unique_lock lock(session_->mutex);
  session_->changed.wait(lock, [this] { return session_->finished; });
}

}  // namespace tamso::winmm
