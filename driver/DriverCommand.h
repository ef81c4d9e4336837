#pragma once

// The driver's commands: one table whose entries give the verb, its arguments as users see
// them, one line of help and the handler. The dispatcher and the help text both read it.
//
// The table is put together from parts, each an array in its own file. To add commands, write
// a file with a function returning its array as a span, declare that function below, name it
// in CommandTable (DriverCommand.cpp) and add the file to the driver library; then give each
// new verb an ".It Ic VERB" entry in man/dados-driver.1 (a docs test holds the two together).
// Handlers run only while the main window exists, so app::Form1 is never null in them.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ClassesComponent.h"
#include "framework/ControlsControl.h"

namespace driver {

// A failed command; its message becomes the "error" answer.
struct CommandError {
    std::string message;
};

// One command line as a handler sees it, with what it may ask of the session.
class CommandCall {
public:
    CommandCall(const std::string& line, std::vector<std::string> words, std::optional<std::string>& pending,
                bool& quitRequested)
        : line_(line), words_(std::move(words)), pending_(pending), quitRequested_(quitRequested)
    {
    }

    const std::string& Verb() const { return words_[0]; }
    // Argument 1 is the first after the verb.
    const std::string& Word(std::size_t index) const { return words_.at(index); }
    // Throws unless the line has exactly count words after the verb.
    void ExpectArguments(std::size_t count) const;
    // A whole number within ±10^9.
    int IntegerArgument(std::size_t index) const;
    // What follows the verb and the one blank after it, blanks included.
    std::string RestOfLine() const;

    // Answers "ok" now, for commands whose action may open a modal loop: the answer must not
    // wait for that loop to end.
    void Acknowledge() { pending_ = "ok"; }
    // The window is about to close because of this command; the answer is given at the end.
    void RequestQuit() { quitRequested_ = true; }

private:
    const std::string& line_;
    std::vector<std::string> words_;
    std::optional<std::string>& pending_;
    bool& quitRequested_;
};

// The answer line for a command: "ok", "ok VALUE" or (thrown) an error.
using CommandHandler = std::string (*)(CommandCall& call);

struct Command {
    std::string_view verb;
    std::string_view arguments;  // as the help shows them, e.g. "X Y"
    std::string_view help;       // one line
    CommandHandler run = nullptr;
};

// The parts of the table, each defined in its own file.
std::span<const Command> BasicCommands();       // DriverBasicCommands.cpp
std::span<const Command> AccessibleCommands();  // DriverAccessibleCommands.cpp

// All commands, in the order the help lists them.
std::span<const Command> CommandTable();
const Command* FindCommand(std::string_view verb);
// The command list as --help prints it, one command a line.
std::string CommandHelp();

// Helpers for handlers.

// "ok" or "ok VALUE".
std::string Ok(const std::string& value);
// Code-page-1252 text as one line of UTF-8, line breaks written as "\n" and "\r".
std::string ForAnswer(const std::string& cp1252);
// The component or control of that name; throws when there is none.
fw::TComponent* Named(const std::string& name);
fw::TControl* NamedControl(const std::string& name);
// Brings every window's pending paints onto its surface, so that the screen is read as the
// user would see it now.
void PaintPending();

}  // namespace driver
