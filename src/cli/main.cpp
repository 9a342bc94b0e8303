#include "cli/CliRun.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv)
{
    std::srand(unsigned(std::time(nullptr))); // random palette entries of a depth raise
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, stdout, stderr);
}
