#include <unistd.h>

#include <iostream>

#include "desktop/cli/cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return tandrel::RunCli(args, std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) != 0);
}
