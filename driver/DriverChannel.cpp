#include "driver/DriverChannel.h"

#include "desktop/Messages.h"

namespace driver {

std::optional<std::string> CommandChannel::Submit(const std::string& line)
{
    std::unique_lock lock(mutex_);
    if (closed_) {
        return std::nullopt;
    }
    command_ = line;
    answer_.reset();
    inFlight_ = true;
    desktop::PostThreadMessage(guiThread_, WM_DRIVER_COMMAND, 0, 0);
    changed_.wait(lock, [&] { return answer_.has_value() || closed_; });
    inFlight_ = false;
    std::optional<std::string> answer = std::move(answer_);
    answer_.reset();
    return answer;
}

std::optional<std::string> CommandChannel::Take()
{
    std::lock_guard lock(mutex_);
    std::optional<std::string> command = std::move(command_);
    command_.reset();
    return command;
}

void CommandChannel::Answer(const std::string& answer)
{
    {
        std::lock_guard lock(mutex_);
        if (!inFlight_ || answer_.has_value()) {
            return;
        }
        answer_ = answer;
    }
    changed_.notify_all();
}

void CommandChannel::Close()
{
    {
        std::lock_guard lock(mutex_);
        if (inFlight_ && !answer_.has_value() && command_.has_value()) {
            answer_ = "error the program has ended";
        }
        command_.reset();
        closed_ = true;
    }
    changed_.notify_all();
}

}  // namespace driver
