#pragma once

#include <cstdint>
#include <string>

namespace kz {

// The editor's notifications to the simulator: datagrams on a UNIX socket
// the simulator creates in the temporary folder, named after its process id.

inline constexpr std::uint16_t kSimDataWritten = 32772;
inline constexpr std::uint16_t kSimCaptureRequest = 32773;
// Not a command value: asks the simulator to close.
inline constexpr std::uint16_t kSimCloseRequest = 0xFFFF;

// $TMPDIR (or /tmp) with its final separator.
std::string TemporaryFolder();

// The socket of the simulator with process id `pid`.
std::string SimulatorSocketPath(int pid);

// True once the simulator's socket exists.
bool SimulatorSocketExists(int pid);

// Sends `value` to the simulator without blocking and without waiting for
// an answer; false when it could not be delivered.
bool PostToSimulator(int pid, std::uint16_t value);

}  // namespace kz
