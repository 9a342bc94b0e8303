// Points SANE at a configuration of the tests' own: only the "test" backend,
// with two virtual scanners test:0 and test:1 and a bed of 300 x 300 mm (an
// A4 page fits). SANE reads its configuration folder once per process, so
// every test that scans calls this before the first scan; child processes
// (the command line, scanimage) inherit it.
#pragma once

#include <string>

// The configuration folder, made on the first call.
const std::string& UseSaneTestBackend();
