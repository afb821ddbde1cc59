#include "platform/egcfile.h"

#include <filesystem>
#include <optional>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool writeWhole(int descriptor, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

/// What the file being replaced allows: whether the effective user may write it (a missing file may be made), and
/// its permission bits when it is there.
struct OldFile
{
    bool writable;
    std::optional<mode_t> permissions;
};

OldFile examine(const std::string& path)
{
    // Opening for writing, without truncating or creating, asks the system itself, with the effective ids, the
    // file's access list and a read-only mount all counted; non-blocking so that a pipe by that name cannot hang.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return {errno == ENOENT, std::nullopt};
    struct stat status = {};
    const bool known = ::fstat(descriptor, &status) == 0;
    ::close(descriptor);
    if (!known)
        return {false, std::nullopt};
    return {true, status.st_mode & 0777};
}

// Makes the rename itself survive a crash. Some file systems cannot sync a folder; the file is in place then all the
// same, so a failure here is no failure of the replacement.
void syncFolderOf(const std::string& path)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

EGCReplaceStep replaceFileEGC(const std::string& path, std::string_view content)
{
    const auto [writable, permissions] = examine(path);
    if (!writable)
        return EGCReplaceStep::OPEN_OLD;

    const std::string newPath = path + ".new";
    // Exclusive creation fails on anything in the name's place, a link included, so nothing there is followed;
    // what a crash left there goes first. A new file with no old one to follow gets the umask's permissions.
    ::unlink(newPath.c_str());
    const int descriptor =
        ::open(newPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, permissions.value_or(0666));
    if (descriptor < 0)
        return EGCReplaceStep::CREATE_NEW;
    // The umask narrowed what open was given; the old file's permissions carry over exactly.
    if (permissions && ::fchmod(descriptor, *permissions) != 0)
    {
        ::close(descriptor);
        ::unlink(newPath.c_str());
        return EGCReplaceStep::CREATE_NEW;
    }

    // Unbuffered writes: fsync then takes every byte to the disk before the rename can make it the file.
    const bool synced = writeWhole(descriptor, content) && ::fsync(descriptor) == 0;
    if (::close(descriptor) != 0 || !synced)
    {
        ::unlink(newPath.c_str());
        return EGCReplaceStep::WRITE_NEW;
    }
    if (::rename(newPath.c_str(), path.c_str()) != 0)
    {
        ::unlink(newPath.c_str());
        return EGCReplaceStep::RENAME;
    }
    syncFolderOf(path);
    return EGCReplaceStep::REPLACED;
}
