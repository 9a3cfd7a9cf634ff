#pragma once
// What the window's process and its tune player (tamso-avi-tune) say to each other over
// the stream socket between them, the player's standard input:
//   window -> player  the song: its length as 4 bytes, little-endian, then its bytes;
//   player -> window  one byte once the start has succeeded (0) or failed (an MCIERR code
//                     less MCIERR_BASE);
//   window -> player  nothing more: a shutdown or close of its end (or its death) asks the
//                     player to stop. The player ends when the song has ended or it stops.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/winmm/mmsystem.h"

namespace tamso::winmm {

// Tunes are small; a larger file is not one.
inline constexpr std::uint32_t kLargestSong = 16u << 20;

// Each returns false when the other end has gone or the system fails.
bool SendSong(int socket, std::span<const std::uint8_t> song);
bool SendStartResult(int socket, MCIERROR result);

// The song sent by SendSong; nullopt when the other end goes first or it is too large.
std::optional<std::vector<std::uint8_t>> ReceiveSong(int socket);

// The start's result; nullopt when the player ended without telling (it failed to start).
std::optional<MCIERROR> ReceiveStartResult(int socket);

// Waits up to `time` for the window to ask for a stop (or to go); true when it has.
bool StopAsked(int socket, std::chrono::milliseconds time);

}  // namespace tamso::winmm
