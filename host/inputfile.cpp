#include "host/inputfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

HostInputFile::HostInputFile(const std::string& path) : std::istream(nullptr)
{
    rdbuf(&mBuffer);
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer, O_NOCTTY a terminal from becoming the process's;
    // a regular file reads as it would without them.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
    {
        mMissing = errno == ENOENT || errno == ENOTDIR;
        setstate(std::ios::failbit);
        return;
    }
    struct stat status
    {
    };
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
    {
        close(descriptor);
        setstate(std::ios::failbit);
        return;
    }
    mBuffer.mDescriptor = descriptor;
    mSize = static_cast<std::uintmax_t>(status.st_size);
}

HostInputFile::~HostInputFile()
{
    if (mBuffer.mDescriptor >= 0)
    {
        close(mBuffer.mDescriptor);
    }
}

bool HostInputFile::is_open() const
{
    return mBuffer.mDescriptor >= 0;
}

bool HostInputFile::isMissing() const
{
    return mMissing;
}

std::uintmax_t HostInputFile::size() const
{
    return mSize;
}

HostInputFile::Buffer::int_type HostInputFile::Buffer::underflow()
{
    if (mDescriptor < 0)
    {
        return traits_type::eof();
    }
    ssize_t count = 0;
    do
    {
        count = ::read(mDescriptor, mChunk.data(), mChunk.size());
    } while (count < 0 && errno == EINTR);
    // A read error ends the stream as the end of the file does: the reader comes short and fails its check.
    if (count <= 0)
    {
        return traits_type::eof();
    }
    setg(mChunk.data(), mChunk.data(), mChunk.data() + count);
    return traits_type::to_int_type(*gptr());
}
