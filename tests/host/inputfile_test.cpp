#include "host/inputfile.h"

#include "tests/fifotesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace
{

class InputFileTest : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directory(mFolder); }
    void TearDown() override { std::filesystem::remove_all(mFolder); }

    const std::string mFolder =
        ::testing::TempDir() + "inputfile_test_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(InputFileTest, ARegularFileReadsWholeAndTellsItsLength)
{
    // More than the stream takes from the file at a time.
    std::string content(200000, 'q');
    content.replace(0, 10, "first line");
    content.replace(content.size() - 4, 4, "last");
    std::ofstream(mFolder + "/data", std::ios::binary) << content;

    HostInputFile file(mFolder + "/data");
    ASSERT_TRUE(file.is_open());
    EXPECT_FALSE(file.isMissing());
    EXPECT_EQ(file.size(), content.size());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()), content);
}

TEST_F(InputFileTest, WhatIsNoRegularFileIsRefusedLikeAMissingOneWithoutWaiting)
{
    std::ofstream(mFolder + "/file") << "text";
    const struct
    {
        std::string path;
        bool missing;
    } cases[] = {
        {mFolder + "/missing", true}, {mFolder + "/file/inside", true}, {mFolder, false}, {"/dev/null", false},
        {"/dev/zero", false},
    };
    for (const auto& c : cases)
    {
        HostInputFile file(c.path);
        EXPECT_FALSE(file.is_open()) << c.path;
        EXPECT_EQ(file.isMissing(), c.missing) << c.path;
        EXPECT_TRUE(file.fail()) << c.path;
        EXPECT_EQ(file.size(), 0u) << c.path;
    }

    bool open = true;
    bool failed = false;
    EXPECT_FALSE(readWaitsOnFIFO(mFolder + "/fifo",
                                 [&]
                                 {
                                     HostInputFile file(mFolder + "/fifo");
                                     open = file.is_open();
                                     failed = file.fail();
                                 }));
    EXPECT_FALSE(open);
    EXPECT_TRUE(failed);
}

} // namespace
