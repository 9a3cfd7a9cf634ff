#include "platform/winmm/tune_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/runtime/byte_reader.h"

namespace tamso::winmm {

namespace {

bool SendAll(int socket, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    // MSG_NOSIGNAL: a player that has gone is a result here, not a SIGPIPE.
    const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(sent));
  }
  return true;
}

bool ReceiveAll(int socket, std::span<std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t received = read(socket, bytes.data(), bytes.size());
    if (received < 0 && errno == EINTR) continue;
    if (received <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(received));
  }
  return true;
}

}  // namespace

bool SendSong(int socket, std::span<const std::uint8_t> song) {
  if (song.size() > kLargestSong) return false;
  std::uint8_t length[4];
  StoreU32(length, 0, static_cast<std::uint32_t>(song.size()));
  return SendAll(socket, length) && SendAll(socket, song);
}

bool SendStartResult(int socket, MCIERROR result) {
  const std::uint8_t code = result == 0 ? 0 : static_cast<std::uint8_t>(result - MCIERR_BASE);
  return SendAll(socket, std::span(&code, 1));
}

std::optional<std::vector<std::uint8_t>> ReceiveSong(int socket) {
  std::uint8_t length[4];
  if (!ReceiveAll(socket, length)) return std::nullopt;
  const std::uint32_t size = LoadU32(length, 0);
  if (size > kLargestSong) return std::nullopt;
  std::vector<std::uint8_t> song(size);
  if (!ReceiveAll(socket, song)) return std::nullopt;
  return song;
}

std::optional<MCIERROR> ReceiveStartResult(int socket) {
  std::uint8_t code = 0;
  if (!ReceiveAll(socket, std::span(&code, 1))) return std::nullopt;
  return code == 0 ? 0 : MCIERR_BASE + code;
}

bool StopAsked(int socket, std::chrono::milliseconds time) {
  pollfd watched{socket, POLLIN, 0};
  const int ready = poll(&watched, 1, static_cast<int>(time.count()));
  // Anything readable (nothing more is ever sent), a hang-up or an error: stop.
  return ready != 0 && !(ready < 0 && errno == EINTR);
}

}  // namespace tamso::winmm
