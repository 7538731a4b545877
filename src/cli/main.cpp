// Entry point of emforce-cli.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_main.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return emforce::cli::runCommandLine(args, std::cout, std::cerr);
}
