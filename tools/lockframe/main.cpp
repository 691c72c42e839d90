#include <iostream>

#include "tools/lockframe/lockframe.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return lockframe::Run(args, std::cout, std::cerr);
}
