#pragma once
// Keeping a library's chatter off the standard error; not for program code.

/// While it lives, what the process writes to its standard error (file descriptor 2, stderr included) is dropped;
/// where /dev/null cannot be opened, it goes through as before.
class HostQuietStderr
{
public:
    HostQuietStderr();
    ~HostQuietStderr();
    HostQuietStderr(const HostQuietStderr&) = delete;
    HostQuietStderr& operator=(const HostQuietStderr&) = delete;

private:
    int mSaved = -1; // the standard error's own descriptor while it is replaced
};
