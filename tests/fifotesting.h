#pragma once
// A FIFO in a data file's place, for the tests that show that no reader waits on one.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

/// Makes a FIFO at the path, which no one writes, runs the read of it and removes the FIFO again; answers whether the
/// read waited for a writer. A read still running after a while that no open of a file takes is let go by opening the
/// FIFO's writing end once, so that a reader that waits fails its test rather than hanging it.
inline bool readWaitsOnFIFO(const std::string& path, const std::function<void()>& read)
{
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
    std::future<void> done = std::async(std::launch::async, read);
    const bool waited = done.wait_for(std::chrono::seconds(5)) != std::future_status::ready;
    if (waited)
    {
        const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0)
            close(writer);
    }
    done.get();
    std::remove(path.c_str());
    return waited;
}
