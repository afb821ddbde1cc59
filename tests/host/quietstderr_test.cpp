#include "host/quietstderr.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

TEST(QuietStderr, DropsWhatIsWrittenWhileItLivesAndLetsThroughWhatComesAfter)
{
    ::testing::internal::CaptureStderr();
    std::fputs("before ", stderr);
    {
        const HostQuietStderr quiet;
        std::fputs("through stderr ", stderr);
        EXPECT_EQ(write(STDERR_FILENO, "through the descriptor ", 23), 23);
    }
    std::fputs("after", stderr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "before after");
}
