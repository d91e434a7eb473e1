#pragma once

// Shows the wait cursor for as long as it lives, also when the work it guards
// ends with an exception.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();

    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
