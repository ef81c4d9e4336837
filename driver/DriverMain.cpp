// dados-driver: the dice experiment on the in-memory screen, driven by commands on standard
// input, one a line, each answered by one line on standard output ("ok", "ok VALUE" or
// "error MESSAGE"). `dados-driver --help` lists the commands; dados-driver(1) describes them.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/ProgramVersion.h"
#include "app/Startup.h"
#include "desktop/System.h"
#include "desktop/backends/Headless.h"
#include "dice/RandomSource.h"
#include "driver/DriverChannel.h"
#include "driver/DriverOptions.h"
#include "driver/DriverSession.h"
#include "framework/SysUtilsLocale.h"

namespace {

using driver::CommandChannel;

// Reads standard input on its own thread, so that the GUI thread never blocks on it. A pipe
// wakes the reader when the program ends before standard input does.
class StdinReader {
public:
    explicit StdinReader(CommandChannel& channel) : channel_(channel)
    {
        if (::pipe(wake_) != 0) {
            wake_[0] = wake_[1] = -1;
        }
    }
    ~StdinReader()
    {
        Stop();
        for (int fd : wake_) {
            if (fd >= 0) ::close(fd);
        }
    }

    void Start()
    {
        thread_ = std::thread([this] { Loop(); });
    }
    void Stop()
    {
        if (wake_[1] >= 0) {
            const char byte = 0;
            [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
        }
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    // The next line without its end ("\n" or "\r\n"); false at end of input or when woken.
    bool ReadLine(std::string& line)
    {
        for (;;) {
            const std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                return true;
            }
            if (eof_) {
                // A last line without its end still counts.
                if (buffer_.empty()) return false;
                line.swap(buffer_);
                buffer_.clear();
                return true;
            }
            pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (::poll(fds, wake_[0] >= 0 ? 2 : 1, -1) < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if ((fds[1].revents & POLLIN) != 0) {
                return false;
            }
            char chunk[4096];
            const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                eof_ = true;
            } else {
                buffer_.append(chunk, static_cast<std::size_t>(got));
            }
        }
    }

    void Loop()
    {
        std::string line;
        while (ReadLine(line)) {
            const std::optional<std::string> answer = channel_.Submit(line);
            if (!answer) {
                return;
            }
            std::fputs(answer->c_str(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        if (eof_) {
            // The end of the commands closes the window as quit does; nobody reads an answer.
            channel_.Submit("quit");
        }
    }

    CommandChannel& channel_;
    std::thread thread_;
    int wake_[2] = {-1, -1};
    std::string buffer_;
    bool eof_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const std::optional<driver::Options> options = driver::ParseOptions(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "dados-driver: %s\n%sTry 'dados-driver --help' for the commands.\n", error.c_str(),
                     driver::UsageText().c_str());
        return 2;
    }
    if (options->request == driver::Options::Request::Help) {
        std::fputs(driver::HelpText().c_str(), stdout);
        return 0;
    }
    if (options->request == driver::Options::Request::Version) {
        std::printf("dados-driver %s\n", app::kProgramVersion);
        return 0;
    }

    desktop::headless::Install(desktop::SIZE{options->screenWidth, options->screenHeight}, options->pixelsPerInch);
    CommandChannel channel(desktop::GetCurrentThreadId());
    driver::Session session(channel);
    StdinReader reader(channel);

    app::StartHooks hooks;
    hooks.applicationCreated = [&](fw::TApplication& application) {
        // The title normally comes from the executable's name; message boxes show it.
        application.SetTitle("dados");
        // After the start-up read the locale, so the command line wins.
        if (options->decimalSeparator) fw::DecimalSeparator = *options->decimalSeparator;
        if (options->thousandSeparator) fw::ThousandSeparator = *options->thousandSeparator;
        session.Install(application);
    };
    hooks.beforeRun = [&](fw::TApplication&) {
        // Each die re-seeds the generator while the window is created; the option comes after.
        if (options->seed) dice::GeneratorSeed = *options->seed;
        reader.Start();
    };
    const int exitCode = app::RunProgram(hooks);
    session.Finish();
    reader.Stop();
    desktop::headless::Uninstall();
    return exitCode;
}
