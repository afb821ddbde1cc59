#include "egl/egltypes.h"

#include "foundation/dbg.h"
#include "host/inputfile.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <new>

// Object model ---------------------------------------------------------------------------------------------------

EGLObject::EGLObject(const EGLObject&) : mUsers()
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLObject& EGLObject::operator=(const EGLObject&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLObject::addUser(const void* user)
{
    mUsers.insert(user);
}

void EGLObject::removeUser(const void* user)
{
    // Erase one occurrence only: an object that refers to this one twice is registered twice.
    const auto userIterator = mUsers.find(user);
    if (userIterator != mUsers.end())
        mUsers.erase(userIterator);
}

bool EGLObject::hasUsers() const
{
    return !mUsers.empty();
}

std::size_t EGLObject::userCount() const
{
    return mUsers.size();
}

EGLChangeable::EGLChangeable(const EGLChangeable&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLChangeable& EGLChangeable::operator=(const EGLChangeable&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLChangeable::~EGLChangeable() noexcept(false)
{
    mChangeCount = -1;
}

void EGLChangeable::beginChange(EGLKey)
{
    ++mChangeCount;
}

void EGLChangeable::endChange(EGLKey)
{
    --mChangeCount;
}

void EGLChangeable::commitChange(EGLKey)
{
}

void EGLChangeable::setChangeKey(EGLKey, EGLKey newKey)
{
    mChangeKey = newKey;
}

bool EGLChangeable::isChangeKey(EGLKey key) const
{
    return key == mChangeKey;
}

bool EGLChangeable::isChanging() const
{
    return mChangeCount > 0;
}

bool EGLChangeable::changeCountIsValid() const
{
    return mChangeCount >= 0;
}

EGLSwitchable::EGLSwitchable(const EGLSwitchable&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLSwitchable& EGLSwitchable::operator=(const EGLSwitchable&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLSwitchable::switchOn(EGLKey)
{
}

void EGLSwitchable::switchOff(EGLKey)
{
}

void EGLSwitchable::setSwitchKey(EGLKey, EGLKey newKey)
{
    mSwitchKey = newKey;
}

bool EGLSwitchable::isSwitchKey(EGLKey key) const
{
    return key == mSwitchKey;
}

EGLResource::EGLResource(const EGLResource&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLResource& EGLResource::operator=(const EGLResource&)
{
    DBG_ERROR("Value semantics not implemented.");
}

void EGLResource::createResource(EGLKey)
{
}

void EGLResource::releaseResource(EGLKey)
{
}

void EGLResource::setResourceKey(EGLKey, EGLKey newKey)
{
    mResourceKey = newKey;
}

bool EGLResource::isResourceKey(EGLKey key) const
{
    return key == mResourceKey;
}

EGLCloneable::EGLCloneable(const EGLCloneable&)
{
    DBG_ERROR("Value semantics not implemeted.");
}

EGLCloneable& EGLCloneable::operator=(const EGLCloneable&)
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLCloneable* EGLCloneable::clone() const
{
    DBG_ERROR("Cloneing not implemented.");
}

// The bases are built empty rather than copied, so the component's own message is the one thrown.
EGLComponent::EGLComponent(const EGLComponent&)
    : EGLObject(), EGLChangeable(), EGLSwitchable(), EGLResource(), EGLCloneable()
{
    DBG_ERROR("Value semantics not implemented.");
}

EGLComponent& EGLComponent::operator=(const EGLComponent&)
{
    DBG_ERROR("Value semantics not implemented.");
}

// Image --------------------------------------------------------------------------------------------------------

namespace
{

// "EGLImage", column count, row count.
constexpr std::size_t HEADER_SIZE = 16;
constexpr std::size_t PIXEL_SIZE = 4;

std::uint32_t readBigEndian(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

// Visits every pixel position, rows from 0, within a row columns from 0. An image without columns has no pixels
// however many rows it claims (up to 2^31 - 1), so its rows are not walked.
template <typename Visit>
void forEachPixel(std::int32_t columnCount, std::int32_t rowCount, Visit visit)
{
    if (columnCount == 0)
        return;
    for (std::int32_t row = 0; row < rowCount; ++row)
        for (std::int32_t column = 0; column < columnCount; ++column)
            visit(column, row);
}

void writeBigEndian(std::uint32_t value, std::uint8_t* bytes)
{
    bytes[0] = static_cast<std::uint8_t>(value >> 24);
    bytes[1] = static_cast<std::uint8_t>(value >> 16);
    bytes[2] = static_cast<std::uint8_t>(value >> 8);
    bytes[3] = static_cast<std::uint8_t>(value);
}

} // namespace

std::uint64_t pixelCount(std::int32_t columnCount, std::int32_t rowCount)
{
    return static_cast<std::uint64_t>(columnCount) * static_cast<std::uint64_t>(rowCount);
}

EGLImage::EGLImage() : mColumnCount(0), mRowCount(0), mPixels()
{
    DBG_ASSERT(invariant());
}

EGLImage::EGLImage(std::int32_t columnCount, std::int32_t rowCount)
    : mColumnCount(columnCount), mRowCount(rowCount), mPixels()
{
    DBG_ASSERT((0 <= columnCount) && (0 <= rowCount));
    mPixels.resize(static_cast<std::size_t>(pixelCount(columnCount, rowCount)));
    DBG_ASSERT(invariant());
}

EGLImage::EGLImage(const EGLImage& other)
    : mColumnCount(other.mColumnCount), mRowCount(other.mRowCount), mPixels(other.mPixels)
{
    DBG_ASSERT(invariant());
}

EGLImage& EGLImage::operator=(const EGLImage& other)
{
    DBG_ASSERT(invariant());
    mColumnCount = other.mColumnCount;
    mRowCount = other.mRowCount;
    mPixels = other.mPixels;
    DBG_ASSERT(invariant());
    return *this;
}

// A value type's destructor must not throw (containers and members of other classes rely on it); the invariant
// cannot break here, since every operation sets the counts and the pixels together and checks them.
EGLImage::~EGLImage()
{
    mColumnCount = -1;
    mRowCount = -1;
}

std::int32_t EGLImage::columnCount() const
{
    return mColumnCount;
}

std::int32_t EGLImage::rowCount() const
{
    return mRowCount;
}

std::uint32_t& EGLImage::pixel(std::int32_t column, std::int32_t row)
{
    return mPixels[static_cast<std::size_t>(mColumnCount) * row + column];
}

const std::uint32_t& EGLImage::pixel(std::int32_t column, std::int32_t row) const
{
    return mPixels[static_cast<std::size_t>(mColumnCount) * row + column];
}

void EGLImage::resize(std::int32_t columnCount, std::int32_t rowCount)
{
    DBG_ASSERT((0 <= columnCount) && (0 <= rowCount));
    mColumnCount = columnCount;
    mRowCount = rowCount;
    // Where std::size_t has 32 bits a count of 2^32 or more would wrap to fewer pixels; the invariant sees it.
    mPixels.resize(static_cast<std::size_t>(pixelCount(columnCount, rowCount)));
    DBG_ASSERT(invariant());
}

bool EGLImage::invariant() const
{
    return (mColumnCount >= 0) && (mRowCount >= 0) && (mPixels.size() == pixelCount(mColumnCount, mRowCount));
}

namespace
{

// The pixels are read from a file in chunks of this many, so that a picture costs little more than its own pixels.
constexpr std::size_t CHUNK_PIXEL_COUNT = 16384;

struct ImageSize
{
    std::int32_t columnCount;
    std::int32_t rowCount;
};

// The expected character stands in the assertion's text, so each place gets its own check.
#define CHECK_CONTENT_ID_CHARACTER(expected)                                                                           \
    DBG_ASSERT("Valid file contentID character." && memory[memoryIndex] == expected);                                  \
    ++memoryIndex

// Checks the header memory[0 .. memorySize-1] and returns the counts it gives. Counts beyond the largest texture are
// refused here, before anything is allocated for their pixels.
ImageSize decodeHeader(const std::uint8_t* memory, std::size_t memorySize)
{
    DBG_ASSERT("Image data holds the whole header." && HEADER_SIZE <= memorySize);

    std::size_t memoryIndex = 0;
    CHECK_CONTENT_ID_CHARACTER('E');
    CHECK_CONTENT_ID_CHARACTER('G');
    CHECK_CONTENT_ID_CHARACTER('L');
    CHECK_CONTENT_ID_CHARACTER('I');
    CHECK_CONTENT_ID_CHARACTER('m');
    CHECK_CONTENT_ID_CHARACTER('a');
    CHECK_CONTENT_ID_CHARACTER('g');
    CHECK_CONTENT_ID_CHARACTER('e');

    // clang-format off
    const auto columnCount = static_cast<std::int32_t>(readBigEndian(memory + memoryIndex));
    memoryIndex += 4;
    DBG_ASSERT("Valid column count." && columnCount>=0);
    const auto rowCount = static_cast<std::int32_t>(readBigEndian(memory + memoryIndex));
    memoryIndex += 4;
    DBG_ASSERT("Valid row count." && rowCount>=0);
    // clang-format on

    // Both counts are below 2^31, so their product is below 2^62 and cannot wrap in 64 bits; in std::size_t it could.
    DBG_ASSERT("Valid pixel count." && pixelCount(columnCount, rowCount) <= EGLImage::MAX_PIXEL_COUNT);
    return ImageSize{columnCount, rowCount};
}

#undef CHECK_CONTENT_ID_CHARACTER

// Decodes count pixels from bytes into the image, the first at pixel index first, rows from 0, within a row columns
// from 0.
void decodePixels(const std::uint8_t* bytes, std::size_t first, std::size_t count, EGLImage& image)
{
    if (count == 0)
        return;
    const auto columnCount = static_cast<std::size_t>(image.columnCount());
    auto column = static_cast<std::int32_t>(first % columnCount);
    auto row = static_cast<std::int32_t>(first / columnCount);
    for (std::size_t index = 0; index < count; ++index, bytes += PIXEL_SIZE)
    {
        image.pixel(column, row) = readBigEndian(bytes);
        if (++column == image.columnCount())
        {
            column = 0;
            ++row;
        }
    }
}

} // namespace

void decodeImage(const std::uint8_t* memory, std::size_t memorySize, EGLImage& image)
{
    DBG_ASSERT("Valid memory pointer." && memory);
    const auto [columnCount, rowCount] = decodeHeader(memory, memorySize);
    DBG_ASSERT("Image data holds every pixel." &&
               pixelCount(columnCount, rowCount) <= (memorySize - HEADER_SIZE) / PIXEL_SIZE);

    image.resize(columnCount, rowCount);
    decodePixels(memory + HEADER_SIZE, 0, pixelCount(columnCount, rowCount), image);
}

void readImageFile(const std::string& fileName, EGLImage& image)
{
    HostInputFile inputFile(fileName);
    DBG_ASSERT("Image file open successfully." && inputFile.is_open());

    std::array<std::uint8_t, HEADER_SIZE> header{};
    inputFile.read(reinterpret_cast<char*>(header.data()), HEADER_SIZE);
    const auto [columnCount, rowCount] = decodeHeader(header.data(), static_cast<std::size_t>(inputFile.gcount()));
    // A file too short fails here, before its pixels are allocated; one that shrinks while it is read fails at the
    // read that comes short.
    const std::uintmax_t fileSize = inputFile.size();
    DBG_ASSERT("Image data holds every pixel." &&
               pixelCount(columnCount, rowCount) <= (fileSize - HEADER_SIZE) / PIXEL_SIZE);

    image.resize(columnCount, rowCount);
    const auto imagePixelCount = static_cast<std::size_t>(pixelCount(columnCount, rowCount));
    std::vector<std::uint8_t> chunk(PIXEL_SIZE * std::min(imagePixelCount, CHUNK_PIXEL_COUNT));
    for (std::size_t first = 0; first < imagePixelCount; first += CHUNK_PIXEL_COUNT)
    {
        const std::size_t count = std::min(imagePixelCount - first, CHUNK_PIXEL_COUNT);
        inputFile.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(PIXEL_SIZE * count));
        DBG_ASSERT("Image data holds every pixel." && inputFile);
        decodePixels(chunk.data(), first, count, image);
    }
}

void writeImageFile(const std::string& fileName, const EGLImage& image)
{
    const std::size_t fileDataSize = HEADER_SIZE + PIXEL_SIZE * pixelCount(image.columnCount(), image.rowCount());
    const std::unique_ptr<std::uint8_t[]> fileData(new (std::nothrow) std::uint8_t[fileDataSize]);
    DBG_ASSERT("File data block allocated successfully." && fileData);

    std::size_t fileDataIndex = 0;
    for (const char character : {'E', 'G', 'L', 'I', 'm', 'a', 'g', 'e'})
        fileData[fileDataIndex++] = static_cast<std::uint8_t>(character);
    writeBigEndian(static_cast<std::uint32_t>(image.columnCount()), &fileData[fileDataIndex]);
    fileDataIndex += 4;
    writeBigEndian(static_cast<std::uint32_t>(image.rowCount()), &fileData[fileDataIndex]);
    fileDataIndex += 4;
    forEachPixel(image.columnCount(), image.rowCount(),
                 [&](std::int32_t column, std::int32_t row)
                 {
                     writeBigEndian(image.pixel(column, row), &fileData[fileDataIndex]);
                     fileDataIndex += PIXEL_SIZE;
                 });
    // clang-format off
    DBG_ASSERT("Exactly all bytes in file data has been written." && fileDataIndex==fileDataSize);
    // clang-format on

    // Losing a picture silently would only show up later as a failed read, so a failed write is reported here.
    std::ofstream outputFile(fileName, std::ios::binary | std::ios::trunc);
    DBG_ASSERT("Image file open for writing successfully." && outputFile.is_open());
    outputFile.write(reinterpret_cast<const char*>(fileData.get()), static_cast<std::streamsize>(fileDataSize));
    outputFile.close();
    DBG_ASSERT("Image file written successfully." && outputFile);
}
