#include <iostream>

#include "tools/ferrow_standin/standin.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ferrow_standin::Run(args, std::cin, std::cout, std::cerr);
}
