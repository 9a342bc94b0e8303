#include "cli/CliRun.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunCli(args, stdout, stderr);
}
