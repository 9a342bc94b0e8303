// The wait cursor for the length of a scope of long work (opening a large
// file, a correction of a large picture): the window does not react
// meanwhile, and the user should see why.
#pragma once

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
