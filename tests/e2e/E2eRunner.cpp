// Runs one end-to-end script against dados-driver: starts the driver with pipes, sends each
// command, checks each answer, and checks the driver's exit code at the end.
//
// Script lines:
//   # …                    a comment; blank lines are skipped
//   @args A B …            the driver's options (before the first command)
//   @env NAME=VALUE        an environment variable of the driver (before the first command)
//   @exit N                the exit code expected at the end (default 0)
//   @stderr TEXT           the driver's standard error contains TEXT (checked at the end)
//   COMMAND                sent to the driver; its answer becomes the current answer
//   = TEXT                 the answer is exactly TEXT
//   ~ REGEX                the answer matches REGEX (whole answer, ECMAScript; no {…} substitution)
//   -> A B …               the answer is "ok" with as many words as names; each is stored
//   ? EXPR OP EXPR         integer comparison (== != < <= > >=) of + - * / % expressions
//   @image PATH            reads a PNG the driver wrote (screenshot)
//   @size W H              that image has this size
//   @has X Y W H RRGGBB    some pixel of the rectangle of that image has the colour
//   @lacks X Y W H RRGGBB  no pixel of the rectangle has it
// In commands, expectations and checks, {NAME} is a stored word and {EXPR} an integer
// expression of stored numbers.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/PngReader.h"

namespace {

struct ScriptError {
    std::string message;
};

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

class Expression {
public:
    Expression(const std::string& text, const std::map<std::string, std::string>& variables)
        : text_(text), variables_(variables)
    {
    }

    long long Evaluate()
    {
        const long long value = Sum();
        Blanks();
        if (at_ != text_.size()) Fail("unexpected '" + text_.substr(at_) + "'");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& why) { throw ScriptError{"in expression '" + text_ + "': " + why}; }
    void Blanks()
    {
        while (at_ < text_.size() && text_[at_] == ' ') ++at_;
    }
    long long Sum()
    {
        long long value = Product();
        for (;;) {
            Blanks();
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                const char op = text_[at_++];
                const long long rhs = Product();
                value = op == '+' ? value + rhs : value - rhs;
            } else {
                return value;
            }
        }
    }
    long long Product()
    {
        long long value = Factor();
        for (;;) {
            Blanks();
            if (at_ < text_.size() && (text_[at_] == '*' || text_[at_] == '/' || text_[at_] == '%')) {
                const char op = text_[at_++];
                const long long rhs = Factor();
                if (op != '*' && rhs == 0) Fail("division by zero");
                value = op == '*' ? value * rhs : op == '/' ? value / rhs : value % rhs;
            } else {
                return value;
            }
        }
    }
    long long Factor()
    {
        Blanks();
        if (at_ >= text_.size()) Fail("missing operand");
        const char c = text_[at_];
        if (c == '(') {
            ++at_;
            const long long value = Sum();
            Blanks();
            if (at_ >= text_.size() || text_[at_] != ')') Fail("missing ')'");
            ++at_;
            return value;
        }
        if (c == '-') {
            ++at_;
            return -Factor();
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            long long value = 0;
            while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
                value = value * 10 + (text_[at_++] - '0');
            }
            return value;
        }
        std::size_t end = at_;
        while (end < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) {
            ++end;
        }
        if (end == at_) Fail("unexpected '" + std::string(1, c) + "'");
        const std::string name = text_.substr(at_, end - at_);
        at_ = end;
        const auto it = variables_.find(name);
        if (it == variables_.end()) Fail("unknown name '" + name + "'");
        try {
            std::size_t used = 0;
            const long long value = std::stoll(it->second, &used);
            if (used == it->second.size()) return value;
        } catch (const std::exception&) {
        }
        Fail(name + " = '" + it->second + "' is not a number");
    }

    const std::string& text_;
    const std::map<std::string, std::string>& variables_;
    std::size_t at_ = 0;
};

class Driver {
public:
    Driver(const std::string& program, const std::vector<std::string>& arguments,
           const std::vector<std::string>& environment, const std::string& stderrPath)
    {
        int toChild[2];
        int fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) throw ScriptError{"cannot make pipes"};
        pid_ = ::fork();
        if (pid_ < 0) throw ScriptError{"cannot start the driver"};
        if (pid_ == 0) {
            ::dup2(toChild[0], STDIN_FILENO);
            ::dup2(fromChild[1], STDOUT_FILENO);
            const int err = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) ::dup2(err, STDERR_FILENO);
            for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) ::close(fd);
            for (const std::string& assignment : environment) {
                const std::size_t equals = assignment.find('=');
                ::setenv(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str(), 1);
            }
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        in_ = ::fdopen(toChild[1], "w");
        out_ = ::fdopen(fromChild[0], "r");
    }
    ~Driver()
    {
        if (pid_ > 0) Wait();
    }

    std::string Ask(const std::string& command)
    {
        if (in_ == nullptr) throw ScriptError{"the driver's input is closed"};
        std::fputs((command + "\n").c_str(), in_);
        std::fflush(in_);
        std::string line;
        for (int c; (c = std::fgetc(out_)) != '\n';) {
            if (c == EOF) throw ScriptError{"the driver ended without answering '" + command + "'"};
            line += static_cast<char>(c);
        }
        return line;
    }

    // Closes the driver's input (which it takes as quit) and returns its exit code.
    int Wait()
    {
        if (in_ != nullptr) {
            std::fclose(in_);
            in_ = nullptr;
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        if (out_ != nullptr) {
            std::fclose(out_);
            out_ = nullptr;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    std::FILE* in_ = nullptr;
    std::FILE* out_ = nullptr;
};

class Script {
public:
    Script(std::string program, std::string path) : program_(std::move(program)), path_(std::move(path)) {}

    // Returns the number of failed checks; a broken script or a lost driver throws.
    int Run()
    {
        std::ifstream file(path_);
        if (!file) throw ScriptError{"cannot read " + path_};
        std::string line;
        while (std::getline(file, line)) {
            ++lineNumber_;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            try {
                Step(line);
            } catch (const ScriptError& error) {
                throw ScriptError{"line " + std::to_string(lineNumber_) + ": " + error.message};
            }
        }
        const int code = driver_ ? driver_->Wait() : StartAndWait();
        if (code != expectedExit_)
            Failure("exit code " + std::to_string(code) + ", expected " + std::to_string(expectedExit_));
        std::ifstream err(StderrPath());
        const std::string errors((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
        for (const std::string& wanted : stderrWanted_) {
            if (errors.find(wanted) == std::string::npos) Failure("standard error lacks '" + wanted + "'");
        }
        if (failures_ != 0 && !errors.empty()) std::cerr << "the driver's standard error:\n" << errors;
        return failures_;
    }

private:
    std::string StderrPath() const
    {
        const std::size_t slash = path_.find_last_of('/');
        return (slash == std::string::npos ? path_ : path_.substr(slash + 1)) + ".stderr";
    }
    int StartAndWait()
    {
        Start();
        return driver_->Wait();
    }
    void Start() { driver_.emplace(program_, arguments_, environment_, StderrPath()); }

    void Failure(const std::string& what)
    {
        ++failures_;
        std::cerr << path_ << ":" << lineNumber_ << ": " << what << "\n";
    }

    std::string Substitute(const std::string& text)
    {
        std::string out;
        std::size_t i = 0;
        while (i < text.size()) {
            if (text[i] != '{') {
                out += text[i++];
                continue;
            }
            const std::size_t close = text.find('}', i);
            if (close == std::string::npos) throw ScriptError{"unclosed '{'"};
            const std::string inner = text.substr(i + 1, close - i - 1);
            const auto it = variables_.find(inner);
            out += it != variables_.end() ? it->second : std::to_string(Expression(inner, variables_).Evaluate());
            i = close + 1;
        }
        return out;
    }

    void Step(const std::string& line)
    {
        if (line.rfind("@args", 0) == 0) {
            if (driver_) throw ScriptError{"@args after the first command"};
            arguments_ = Words(line.substr(5));
        } else if (line.rfind("@env ", 0) == 0) {
            if (driver_) throw ScriptError{"@env after the first command"};
            const std::string assignment = line.substr(5);
            if (assignment.find('=') == std::string::npos) throw ScriptError{"@env needs NAME=VALUE"};
            environment_.push_back(assignment);
        } else if (line.rfind("@exit", 0) == 0) {
            expectedExit_ = std::stoi(line.substr(5));
        } else if (line.rfind("@stderr ", 0) == 0) {
            stderrWanted_.push_back(line.substr(8));
        } else if (line.rfind("@image ", 0) == 0) {
            image_ = e2e::ReadPng(Substitute(line.substr(7)));
            if (!image_) Failure("cannot read the PNG " + line.substr(7));
        } else if (line.rfind("@size ", 0) == 0) {
            const std::vector<std::string> words = Words(Substitute(line));
            if (words.size() != 3) throw ScriptError{"@size needs W H"};
            const std::string expected = words[1] + "x" + words[2];
            const std::string actual =
                image_ ? std::to_string(image_->width) + "x" + std::to_string(image_->height) : "no image";
            if (actual != expected) Failure("image size " + actual + ", expected " + expected);
        } else if (line.rfind("@has ", 0) == 0 || line.rfind("@lacks ", 0) == 0) {
            CheckImage(line);
        } else if (line.rfind("= ", 0) == 0 || line == "=") {
            const std::string expected = Substitute(line.size() > 2 ? line.substr(2) : "");
            if (answer_ != expected) Failure("answer '" + answer_ + "', expected '" + expected + "'");
        } else if (line.rfind("~ ", 0) == 0) {
            const std::string pattern = line.substr(2);
            if (!std::regex_match(answer_, std::regex(pattern)))
                Failure("answer '" + answer_ + "' does not match " + pattern);
        } else if (line.rfind("-> ", 0) == 0) {
            Capture(Words(line.substr(3)));
        } else if (line.rfind("? ", 0) == 0) {
            Compare(line.substr(2));
        } else {
            if (!driver_) Start();
            lastCommand_ = Substitute(line);
            answer_ = driver_->Ask(lastCommand_);
        }
    }

    void Capture(const std::vector<std::string>& names)
    {
        const std::vector<std::string> words = Words(answer_);
        if (words.empty() || words[0] != "ok" || words.size() != names.size() + 1) {
            Failure("answer '" + answer_ + "' to '" + lastCommand_ + "' is not ok with " +
                    std::to_string(names.size()) + " words");
            for (const std::string& name : names) variables_[name] = "?";
            return;
        }
        for (std::size_t i = 0; i < names.size(); ++i) variables_[names[i]] = words[i + 1];
    }

    void Compare(const std::string& check)
    {
        static const char* const operators[] = {"==", "!=", "<=", ">=", "<", ">"};
        for (const char* op : operators) {
            const std::size_t at = check.find(op);
            if (at == std::string::npos) continue;
            const std::string opText(op);
            const long long lhs = Expression(check.substr(0, at), variables_).Evaluate();
            const long long rhs = Expression(check.substr(at + opText.size()), variables_).Evaluate();
            const bool holds = opText == "=="   ? lhs == rhs
                               : opText == "!=" ? lhs != rhs
                               : opText == "<=" ? lhs <= rhs
                               : opText == ">=" ? lhs >= rhs
                               : opText == "<"  ? lhs < rhs
                                                : lhs > rhs;
            if (!holds) Failure(check + " fails: " + std::to_string(lhs) + " " + opText + " " + std::to_string(rhs));
            return;
        }
        throw ScriptError{"no comparison in '" + check + "'"};
    }

    void CheckImage(const std::string& line)
    {
        const std::vector<std::string> words = Words(Substitute(line));
        if (words.size() != 6) throw ScriptError{"image check needs X Y W H RRGGBB"};
        if (!image_) {
            Failure("no image read");
            return;
        }
        const long long x = Expression(words[1], variables_).Evaluate();
        const long long y = Expression(words[2], variables_).Evaluate();
        const long long w = Expression(words[3], variables_).Evaluate();
        const long long h = Expression(words[4], variables_).Evaluate();
        const std::uint32_t colour = static_cast<std::uint32_t>(std::stoul(words[5], nullptr, 16));
        if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > image_->width || y + h > image_->height) {
            Failure("rectangle outside the image: " + line);
            return;
        }
        int found = 0;
        for (long long j = y; j < y + h; ++j) {
            for (long long i = x; i < x + w; ++i) {
                if (image_->At(static_cast<int>(i), static_cast<int>(j)) == colour) ++found;
            }
        }
        if (words[0] == "@has" && found == 0) Failure("no pixel " + words[5] + " in " + line);
        if (words[0] == "@lacks" && found != 0) Failure(std::to_string(found) + " pixels " + words[5] + " in " + line);
    }

    std::string program_;
    std::string path_;
    std::vector<std::string> arguments_;
    std::vector<std::string> environment_;
    std::optional<Driver> driver_;
    std::map<std::string, std::string> variables_;
    std::optional<e2e::Image> image_;
    std::vector<std::string> stderrWanted_;
    std::string answer_;
    std::string lastCommand_;
    int expectedExit_ = 0;
    int lineNumber_ = 0;
    int failures_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: e2e-runner DADOS_DRIVER SCRIPT\n";
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    Script script(argv[1], argv[2]);
    try {
        const int failures = script.Run();
        if (failures != 0) {
            std::cerr << argv[2] << ": " << failures << " check(s) failed\n";
            return 1;
        }
    } catch (const ScriptError& error) {
        std::cerr << argv[2] << ": " << error.message << "\n";
        return 1;
    }
    std::cout << argv[2] << ": passed\n";
    return 0;
}
