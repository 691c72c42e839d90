#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <iostream>

#include "desktop/cli/cli.h"

namespace {

termios savedMode{};

// An interrupt while a password is typed must not leave the terminal
// without its echo.
void RestoreAndRaise(int signal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedMode);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void SetInputEcho(bool echo) {
    if (echo) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedMode);
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        return;
    }
    if (tcgetattr(STDIN_FILENO, &savedMode) != 0) return;
    std::signal(SIGINT, RestoreAndRaise);
    std::signal(SIGTERM, RestoreAndRaise);
    termios quiet = savedMode;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    tandrel::CliTerminal terminal;
    terminal.input = isatty(STDIN_FILENO) != 0;
    terminal.errors = isatty(STDERR_FILENO) != 0;
    if (terminal.input) terminal.setEcho = SetInputEcho;
    return tandrel::RunCli(args, std::cin, std::cout, std::cerr, terminal);
}
