// LeakSanitizer's list of leaks that are not ours, built into every test
// program (the sanitizer asks for this one function, so it lives in one file):
// - Qt's xcb platform talks to the session bus, whose library keeps a buffer
//   until the process ends;
// - SANE's test backend loses the picture buffer of a reader thread that is
//   cancelled in mid-page, as the tests cancel scans and fail reads on purpose.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libsane-test.so\n";
}
