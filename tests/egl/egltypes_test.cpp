#include "egl/egltypes.h"

#include "egltesting.h"
#include "foundation/dbg.h"
#include "tests/fifotesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include <unistd.h>

namespace
{

class Component final : public EGLComponent
{
};

} // namespace

// Object model ---------------------------------------------------------------------------------------------------

TEST(EGLObject, UserRegisteredTwiceStaysUntilRemovedTwice)
{
    EGLObject object;
    int user = 0;
    int otherUser = 0;
    object.addUser(&user);
    object.addUser(&user);
    object.addUser(&otherUser);
    EXPECT_EQ(object.userCount(), 3u);

    object.removeUser(&user);
    EXPECT_EQ(object.userCount(), 2u);
    EXPECT_TRUE(object.hasUsers());
    object.removeUser(&user);
    EXPECT_EQ(object.userCount(), 1u);

    int stranger = 0;
    object.removeUser(&stranger);
    EXPECT_EQ(object.userCount(), 1u) << "removing an unknown user took another one";
    object.removeUser(&otherUser);
    EXPECT_FALSE(object.hasUsers());
}

TEST(EGLComponent, NewComponentHasNullKeysAndValidCounterThatNests)
{
    Component component;
    EXPECT_TRUE(component.isChangeKey(nullptr));
    EXPECT_TRUE(component.isSwitchKey(nullptr));
    EXPECT_TRUE(component.isResourceKey(nullptr));
    EXPECT_FALSE(component.isChanging());
    EXPECT_TRUE(component.changeCountIsValid());

    const char key = 0;
    component.beginChange(&key);
    component.beginChange(&key);
    component.endChange(&key);
    EXPECT_TRUE(component.isChanging());
    component.endChange(&key);
    EXPECT_FALSE(component.isChanging());
    EXPECT_TRUE(component.changeCountIsValid());
    component.endChange(&key);
    EXPECT_FALSE(component.changeCountIsValid()) << "an unmatched endChange must break the invariant";
}

TEST(EGLComponent, EachKeyIsStoredSeparately)
{
    Component component;
    const char changeKey = 0;
    const char switchKey = 0;
    const char resourceKey = 0;
    component.setChangeKey(nullptr, &changeKey);
    component.setSwitchKey(nullptr, &switchKey);
    component.setResourceKey(nullptr, &resourceKey);

    EXPECT_TRUE(component.isChangeKey(&changeKey));
    EXPECT_FALSE(component.isChangeKey(&switchKey));
    EXPECT_TRUE(component.isSwitchKey(&switchKey));
    EXPECT_FALSE(component.isSwitchKey(&resourceKey));
    EXPECT_TRUE(component.isResourceKey(&resourceKey));
    EXPECT_FALSE(component.isResourceKey(nullptr));
}

TEST(EGLComponent, CopyingAndBaseCloningThrowTheirMessages)
{
    const std::string refused = "Error: Value semantics not implemented.";
    Component component;
    Component other;
    const struct
    {
        const char* what;
        std::function<void()> action;
        std::string expected;
    } cases[] = {
        {"object copy", [&] { EGLObject copy(component); }, refused},
        {"object assignment", [&] { static_cast<EGLObject&>(other) = component; }, refused},
        {"changeable copy", [&] { EGLChangeable copy(component); }, refused},
        {"changeable assignment", [&] { static_cast<EGLChangeable&>(other) = component; }, refused},
        {"switchable copy", [&] { EGLSwitchable copy(component); }, refused},
        {"switchable assignment", [&] { static_cast<EGLSwitchable&>(other) = component; }, refused},
        {"resource copy", [&] { EGLResource copy(component); }, refused},
        {"resource assignment", [&] { static_cast<EGLResource&>(other) = component; }, refused},
        {"cloneable copy", [&] { EGLCloneable copy(component); }, "Error: Value semantics not implemeted."},
        {"cloneable assignment", [&] { static_cast<EGLCloneable&>(other) = component; }, refused},
        {"component copy", [&] { Component copy(component); }, refused},
        {"component assignment", [&] { other = component; }, refused},
        {"base clone", [&] { delete component.clone(); }, "Error: Cloneing not implemented."},
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(thrownBy(testCase.action), testCase.expected) << testCase.what;
}

TEST(EGLComponent, DeletesThroughEveryBase)
{
    // The sanitizer build reports a delete through a base without a virtual destructor.
    delete static_cast<EGLObject*>(new Component);
    delete static_cast<EGLChangeable*>(new Component);
    delete static_cast<EGLSwitchable*>(new Component);
    delete static_cast<EGLResource*>(new Component);
    delete static_cast<EGLCloneable*>(new Component);
}

// Image and image file -------------------------------------------------------------------------------------------

namespace
{

using Bytes = std::vector<std::uint8_t>;

Bytes header(std::uint32_t columnCount, std::uint32_t rowCount)
{
    Bytes bytes = {'E', 'G', 'L', 'I', 'm', 'a', 'g', 'e'};
    for (const std::uint32_t count : {columnCount, rowCount})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(count >> shift));
    return bytes;
}

Bytes operator+(Bytes bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

class EGLImageFile : public ::testing::Test
{
protected:
    void TearDown() override { std::remove(mFileName.c_str()); }

    void writeBytes(const Bytes& bytes)
    {
        std::ofstream file(mFileName, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    Bytes readBytes() const
    {
        std::ifstream file(mFileName, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    const std::string mFileName = ::testing::TempDir() + "egltypes_test_" +
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".eglimage";
};

} // namespace

TEST_F(EGLImageFile, RoundTripKeepsPixelsRowByRowMostSignificantByteFirst)
{
    EGLImage image(4, 2);
    for (std::int32_t row = 0; row < 2; ++row)
        for (std::int32_t column = 0; column < 4; ++column)
            image.pixel(column, row) = 0x01000000u * static_cast<std::uint32_t>(4 * row + column);
    image.pixel(2, 1) = 0x11223344u;

    writeImageFile(mFileName, image);
    const Bytes bytes = readBytes();
    ASSERT_EQ(bytes.size(), 16u + 4u * 8u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16), header(4, 2));
    // Pixel (2, 1) of a 4-column image is the seventh pixel.
    EXPECT_EQ(Bytes(bytes.begin() + 16 + 4 * 6, bytes.begin() + 16 + 4 * 7), (Bytes{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(bytes[16 + 4 * 5], 5);

    EGLImage readBack;
    readImageFile(mFileName, readBack);
    EXPECT_EQ(readBack, image);
}

TEST_F(EGLImageFile, ImagesWithoutPixelsAreSixteenBytesAndBytesAfterThePixelsAreIgnored)
{
    writeImageFile(mFileName, EGLImage());
    EXPECT_EQ(readBytes(), header(0, 0));

    // An image without columns has no pixels, however many rows it claims.
    writeBytes(header(0, 0x7FFFFFFFu));
    EGLImage image;
    readImageFile(mFileName, image);
    EXPECT_EQ(image.columnCount(), 0);
    EXPECT_EQ(image.rowCount(), 0x7FFFFFFF);

    writeBytes(header(1, 1) + Bytes{0xAA, 0xBB, 0xCC, 0xDD} + Bytes{1, 2, 3});
    readImageFile(mFileName, image);
    ASSERT_EQ(image.columnCount(), 1);
    ASSERT_EQ(image.rowCount(), 1);
    EXPECT_EQ(image.pixel(0, 0), 0xAABBCCDDu);
}

TEST_F(EGLImageFile, ReaderRejectsMalformedFilesWithoutReadingPastTheData)
{
    Bytes lowerCaseI = header(0, 0);
    lowerCaseI[3] = 'i';
    Bytes wrongFirst = header(0, 0);
    wrongFirst[0] = 'e';
    Bytes wrongLast = header(0, 0);
    wrongLast[7] = 'E';
    Bytes headerCutShort = header(0, 0);
    headerCutShort.pop_back();
    const char* const fileTooShort = "\"Image data holds every pixel.\" && pixelCount(columnCount, rowCount) <= "
                                     "(fileSize - HEADER_SIZE) / PIXEL_SIZE";
    const struct
    {
        const char* what;
        Bytes bytes;
        const char* expected;
    } cases[] = {
        {"empty file", {}, "\"Image data holds the whole header.\" && HEADER_SIZE <= memorySize"},
        {"header cut short", headerCutShort, "\"Image data holds the whole header.\" && HEADER_SIZE <= memorySize"},
        {"wrong first character", wrongFirst, "\"Valid file contentID character.\" && memory[memoryIndex] == 'E'"},
        {"lower-case i", lowerCaseI, "\"Valid file contentID character.\" && memory[memoryIndex] == 'I'"},
        {"wrong last character", wrongLast, "\"Valid file contentID character.\" && memory[memoryIndex] == 'e'"},
        {"negative column count before a negative row count", header(0x80000000u, 0xFFFFFFFFu),
         "\"Valid column count.\" && columnCount>=0"},
        {"negative row count", header(1, 0xFFFFFFFFu), "\"Valid row count.\" && rowCount>=0"},
        {"header without its pixel", header(1, 1), fileTooShort},
        {"last pixel cut short", header(2, 1) + Bytes(7, 0xFF), fileTooShort},
    };
    for (const auto& testCase : cases)
    {
        writeBytes(testCase.bytes);
        EGLImage image(3, 3);
        EXPECT_EQ(thrownBy([&] { readImageFile(mFileName, image); }),
                  std::string("Assertion failure: ") + testCase.expected)
            << testCase.what;
    }
}

TEST_F(EGLImageFile, CountsBeyondTheLargestTextureOrTheFileFailBeforeAnythingIsAllocated)
{
    const std::string tooLarge = "Assertion failure: \"Valid pixel count.\" && pixelCount(columnCount, "
                                 "rowCount) <= EGLImage::MAX_PIXEL_COUNT";
    const std::string pixelsMissing = "Assertion failure: \"Image data holds every pixel.\" && pixelCount(columnCount, "
                                      "rowCount) <= (memorySize - HEADER_SIZE) / PIXEL_SIZE";
    const std::string fileTooShort = "Assertion failure: \"Image data holds every pixel.\" && pixelCount(columnCount, "
                                     "rowCount) <= (fileSize - HEADER_SIZE) / PIXEL_SIZE";
    const struct
    {
        std::uint32_t columnCount;
        std::uint32_t rowCount;
        const std::string& expected;
    } cases[] = {
        {16384, 16383, tooLarge},
        {0x7FFFFFFFu, 0x7FFFFFFFu, tooLarge},
        {4097, 4096, tooLarge},
        // 2^32 pixels: a count that wrapped in a 32-bit std::size_t would be 0 and pass.
        {65536, 65536, tooLarge},
        {1, 4096 * 4096 + 1, tooLarge},
        {4096, 4096, pixelsMissing},
        {4096 * 4096, 1, pixelsMissing},
        {2048, 8192, pixelsMissing},
    };
    for (const auto& testCase : cases)
    {
        const Bytes bytes = header(testCase.columnCount, testCase.rowCount);
        EGLImage image(3, 3);
        EXPECT_EQ(thrownBy([&] { decodeImage(bytes.data(), bytes.size(), image); }), testCase.expected)
            << testCase.columnCount << " x " << testCase.rowCount;
        // Refused on the header and the file's length: the image keeps its size, so nothing was allocated for the
        // claimed pixels.
        writeBytes(bytes);
        EXPECT_EQ(thrownBy([&] { readImageFile(mFileName, image); }),
                  testCase.expected == tooLarge ? tooLarge : fileTooShort);
        EXPECT_EQ(image, EGLImage(3, 3)) << testCase.columnCount << " x " << testCase.rowCount;
    }
}

// What reading the bytes through a pipe throws, and what the reader left in the pipe for the test to collect.
struct PipeRead
{
    std::string thrown;
    Bytes rest;
};

PipeRead readThroughPipe(const Bytes& bytes, EGLImage& image)
{
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    // More bytes than a pipe holds: a thread writes them while the reader and then the test take them.
    std::thread writer(
        [&]
        {
            for (std::size_t written = 0; written < bytes.size();)
            {
                const ssize_t count = write(pipeEnds[1], bytes.data() + written, bytes.size() - written);
                if (count <= 0)
                    break;
                written += static_cast<std::size_t>(count);
            }
            close(pipeEnds[1]);
        });
    PipeRead result;
    result.thrown = thrownBy([&] { readImageFile("/dev/fd/" + std::to_string(pipeEnds[0]), image); });
    std::uint8_t buffer[4096];
    for (ssize_t count; (count = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.rest.insert(result.rest.end(), buffer, buffer + count);
    writer.join();
    close(pipeEnds[0]);
    return result;
}

TEST_F(EGLImageFile, AnImageOfManyChunksReadsBackAndTheBytesAfterItAreIgnored)
{
    // More pixels than the reader takes from the file at a time.
    EGLImage image(160, 130);
    for (std::int32_t row = 0; row < 130; ++row)
        for (std::int32_t column = 0; column < 160; ++column)
            image.pixel(column, row) = 0x01000193u * static_cast<std::uint32_t>(row * 160 + column);
    writeImageFile(mFileName, image);
    writeBytes(readBytes() + Bytes(100000, 0x5A));

    EGLImage readBack;
    readImageFile(mFileName, readBack);
    EXPECT_TRUE(readBack == image);
}

const std::string OPEN_CHECK = "Assertion failure: \"Image file open successfully.\" && inputFile.is_open()";

TEST_F(EGLImageFile, APipeFailsTheOpenCheckAndNoneOfItsBytesIsTaken)
{
    // Refused before any read, however much waits in the pipe: less than a pipe holds, or more, which the writer hands
    // over only as it is taken.
    for (const auto& [columnCount, rowCount] : {std::pair{3, 2}, std::pair{160, 130}})
    {
        writeImageFile(mFileName, EGLImage(columnCount, rowCount));
        const Bytes bytes = readBytes() + Bytes(100000, 0x5A);

        EGLImage image;
        const PipeRead read = readThroughPipe(bytes, image);
        EXPECT_EQ(read.thrown, OPEN_CHECK) << columnCount << " x " << rowCount;
        EXPECT_EQ(read.rest.size(), bytes.size()) << columnCount << " x " << rowCount;
    }
}

TEST_F(EGLImageFile, AFIFOAFolderOrADeviceFailsTheOpenCheckWithoutWaiting)
{
    EGLImage image;
    std::string thrown;
    EXPECT_FALSE(readWaitsOnFIFO(mFileName, [&] { thrown = thrownBy([&] { readImageFile(mFileName, image); }); }));
    EXPECT_EQ(thrown, OPEN_CHECK) << "a FIFO";

    std::filesystem::create_directory(mFileName);
    EXPECT_EQ(thrownBy([&] { readImageFile(mFileName, image); }), OPEN_CHECK) << "a folder";
    std::filesystem::remove(mFileName);
    EXPECT_EQ(thrownBy([&] { readImageFile("/dev/zero", image); }), OPEN_CHECK) << "a device";
    EXPECT_EQ(image, EGLImage());
}

TEST_F(EGLImageFile, MissingOrUnwritableFileFailsItsAssertion)
{
    EGLImage image;
    EXPECT_EQ(thrownBy([&] { readImageFile(mFileName + ".missing", image); }),
              "Assertion failure: \"Image file open successfully.\" && inputFile.is_open()");
    EXPECT_EQ(thrownBy([&] { writeImageFile(mFileName + ".missing/image", image); }),
              "Assertion failure: \"Image file open for writing successfully.\" && outputFile.is_open()");
}

TEST(EGLImage, ThePixelCountIsWorkedInSixtyFourBitsWhateverTheWidthOfSizeT)
{
    static_assert(std::is_same_v<decltype(pixelCount(0, 0)), std::uint64_t>);
    EXPECT_EQ(pixelCount(65536, 65536), std::uint64_t{1} << 32);
    EXPECT_EQ(pixelCount(0x7FFFFFFF, 0x7FFFFFFF), 0x3FFFFFFF00000001u);
    EXPECT_EQ(pixelCount(0, 0x7FFFFFFF), 0u);
}

TEST(EGLImage, NegativeSizeIsRefused)
{
    EXPECT_EQ(thrownBy([] { EGLImage image(-1, 2); }), "Assertion failure: (0 <= columnCount) && (0 <= rowCount)");
    EGLImage image;
    EXPECT_EQ(thrownBy([&] { image.resize(2, -1); }), "Assertion failure: (0 <= columnCount) && (0 <= rowCount)");
    EXPECT_TRUE(image.invariant());
}
