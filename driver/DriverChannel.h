#pragma once

// The hand-over between the thread that reads standard input and the GUI thread. The reader
// offers one command line and waits for its answer before it reads the next, so at most one
// command is ever in flight. The GUI thread learns of a command through a posted thread
// message and answers once it has handled everything the command caused.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "desktop/Types.h"

namespace driver {

// The thread message that tells the GUI thread a command is waiting.
inline constexpr desktop::UINT WM_DRIVER_COMMAND = desktop::WM_APP + 0x44;

class CommandChannel {
public:
    explicit CommandChannel(desktop::DWORD guiThread) : guiThread_(guiThread) {}

    // Reader side. Returns the answer, or nullopt when the program ended first.
    std::optional<std::string> Submit(const std::string& line);

    // GUI side: the waiting command, taken once.
    std::optional<std::string> Take();
    void Answer(const std::string& answer);
    // The program has ended: a command still waiting is refused and Submit returns at once.
    void Close();

private:
    desktop::DWORD guiThread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::string> command_;
    std::optional<std::string> answer_;
    bool inFlight_ = false;
    bool closed_ = false;
};

}  // namespace driver
