#pragma once

// The GUI-thread side of dados-driver: takes each command line from the channel inside the
// application's OnMessage (so also inside a modal loop), runs it, and answers in OnIdle, once
// everything the command caused (input, handlers, paints) has been handled.

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/Types.h"
#include "driver/DriverChannel.h"
#include "framework/FormsApplication.h"

namespace driver {

class Session {
public:
    explicit Session(CommandChannel& channel) : channel_(channel) {}

    // Binds the session to the application's OnMessage and OnIdle.
    void Install(fw::TApplication& application);
    // After the message loop ended: gives the answer still owed (that of quit) and closes the
    // channel, so the reader stops waiting.
    void Finish();

private:
    void OnMessage(desktop::MSG& message, bool& handled);
    void OnIdle(bool& done);
    void Run(const std::string& line);
    // The answer line for one command; actions acknowledge through their CommandCall before
    // they act.
    std::string Execute(const std::string& line);

    CommandChannel& channel_;
    std::optional<std::string> pending_;
    std::uint64_t serial_ = 0;
    std::uint64_t answeredSerial_ = 0;
    bool quitRequested_ = false;
};

}  // namespace driver
