#pragma once
// The program's data files, read so that what stands in a file's place can never make it wait: opening a FIFO
// waits for a writer, and a device need never end. Only a regular file opens; anything else is refused at once, as
// a missing file is, so that each reader fails its own open check.
//
// Depends on: POSIX files (open with O_NONBLOCK, fstat, read).

#include <cstdint>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

/// An input stream, in binary, over the regular file at a path. A file that is missing, cannot be opened or is no
/// regular file (a FIFO, a device, a folder) leaves the stream unopened and failed. Not copyable.
class HostInputFile final : public std::istream
{
public:
    explicit HostInputFile(const std::string& path);
    ~HostInputFile() override;
    HostInputFile(const HostInputFile&) = delete;
    HostInputFile& operator=(const HostInputFile&) = delete;

    /// Whether a regular file opened (named as std::ifstream's, which it stands in for).
    bool is_open() const;
    /// Whether it is unopened because nothing has that name.
    bool isMissing() const;
    /// The file's length in bytes when it opened; 0 when it is not open.
    std::uintmax_t size() const;

private:
    class Buffer final : public std::streambuf
    {
    public:
        int mDescriptor = -1;

    protected:
        int_type underflow() override;

    private:
        std::vector<char> mChunk = std::vector<char>(std::size_t{64} << 10);
    };

    Buffer mBuffer;
    bool mMissing = false;
    std::uintmax_t mSize = 0;
};
