#include "driver/DriverSession.h"

#include <exception>
#include <vector>

#include "app/Unit1.h"
#include "driver/DriverCommand.h"

namespace driver {

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

}  // namespace

void Session::Install(fw::TApplication& application)
{
    application.OnMessage = [this](desktop::MSG& message, bool& handled) { OnMessage(message, handled); };
    application.OnIdle = [this](fw::TObject*, bool& done) { OnIdle(done); };
}

void Session::OnMessage(desktop::MSG& message, bool& handled)
{
    if (message.hwnd != nullptr || message.message != WM_DRIVER_COMMAND) {
        return;
    }
    handled = true;
    if (std::optional<std::string> line = channel_.Take()) {
        Run(*line);
    }
}

void Session::OnIdle(bool& done)
{
    done = true;
    if (pending_) {
        channel_.Answer(*pending_);
        pending_.reset();
        answeredSerial_ = serial_;
    }
}

void Session::Finish()
{
    if (quitRequested_ && !pending_) {
        pending_ = "ok";
    }
    if (pending_) {
        channel_.Answer(*pending_);
        pending_.reset();
    }
    channel_.Close();
}

void Session::Run(const std::string& line)
{
    const std::uint64_t serial = ++serial_;
    pending_.reset();
    std::string answer;
    try {
        answer = Execute(line);
    } catch (const CommandError& error) {
        answer = "error " + ForAnswer(error.message);
    } catch (const std::exception& error) {
        answer = "error " + ForAnswer(error.what());
    }
    // A command whose handler ran a modal loop was answered from inside that loop.
    if (serial == serial_ && answeredSerial_ != serial && !quitRequested_) {
        pending_ = answer;
    }
}

std::string Session::Execute(const std::string& line)
{
    std::vector<std::string> words = Words(line);
    if (words.empty()) {
        throw CommandError{"empty command"};
    }
    if (app::Form1 == nullptr) {
        throw CommandError{"the main window is gone"};
    }
    const Command* command = FindCommand(words[0]);
    if (command == nullptr) {
        throw CommandError{"unknown command '" + ForAnswer(words[0]) + "'"};
    }
    CommandCall call(line, std::move(words), pending_, quitRequested_);
    return command->run(call);
}

}  // namespace driver
