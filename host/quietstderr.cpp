#include "host/quietstderr.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

HostQuietStderr::HostQuietStderr()
{
    std::fflush(stderr);
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0)
    {
        return;
    }
    mSaved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (mSaved >= 0 && dup2(sink, STDERR_FILENO) < 0)
    {
        close(mSaved);
        mSaved = -1;
    }
    close(sink);
}

HostQuietStderr::~HostQuietStderr()
{
    if (mSaved < 0)
    {
        return;
    }
    std::fflush(stderr);
    dup2(mSaved, STDERR_FILENO);
    close(mSaved);
}
