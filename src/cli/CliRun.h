// The command line: kelvora-cli INPUT [operations] -o OUTPUT.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Exit codes.
constexpr int kCliOk = 0;
constexpr int kCliFailed = 1; // unreadable input, a failed operation or save
constexpr int kCliUsage = 2;  // bad arguments

// Runs the arguments (without the program's name): opens the input, applies
// the operations in their order and reports on out and err. A progress bar
// appears on err when err is a terminal.
int RunCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
