#include "platform/egcfile.h"

#include <filesystem>
#include <system_error>

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

/// The path with every link followed, so that the file a link names is replaced and the link stays; empty when the
/// links cannot be read or go round in a loop.
std::string followLinks(std::string path)
{
    namespace fs = std::filesystem;
    // As many links as the system itself follows in one name before it gives up.
    for (int hops = 0; hops < 40; ++hops)
    {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error)))
            return path;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return {};
        // A relative target counts from the link's own folder; a full one replaces the path.
        path = (fs::path(path).parent_path() / target).string();
    }
    return {};
}

/// Whether a failure to make or rename a file beside the old one says only that the folder may not be changed, by
/// the folder's permissions or a sticky bit, so that the old file, which may be written, can take the content itself.
bool folderMayNotChange(int error)
{
    return error == EACCES || error == EPERM;
}

/// Gives the new file the old one's owner and permissions where they differ. A file system without Unix owners and
/// modes (FAT through FUSE, an SMB share) refuses, as the system refuses another user's owner to a player; the
/// content counts more than the mode, so a refusal leaves what the file was made with.
void carryOver(int descriptor, const struct stat& old)
{
    struct stat made = {};
    if (::fstat(descriptor, &made) != 0)
        return;
    if (made.st_uid != old.st_uid || made.st_gid != old.st_gid)
        static_cast<void>(::fchown(descriptor, made.st_uid != old.st_uid ? old.st_uid : static_cast<uid_t>(-1),
                                   made.st_gid != old.st_gid ? old.st_gid : static_cast<gid_t>(-1)) == 0);
    if ((made.st_mode & 0777) != (old.st_mode & 0777))
        ::fchmod(descriptor, old.st_mode & 0777);
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

/// The content over the old file's bytes, the rest of them cut off, synced: where no new file can replace it.
EGCReplaceStep rewriteInPlace(int old, std::string_view content)
{
    const bool synced =
        writeWhole(old, content) && ::ftruncate(old, static_cast<off_t>(content.size())) == 0 && ::fsync(old) == 0;
    return synced ? EGCReplaceStep::REPLACED : EGCReplaceStep::WRITE_NEW;
}

/// Replaces the file at path, which is no link, with the content; old is that file open for writing, or -1 when it
/// is missing.
EGCReplaceStep replace(const std::string& path, int old, std::string_view content)
{
    struct stat status = {};
    if (old >= 0 && ::fstat(old, &status) != 0)
        return EGCReplaceStep::OPEN_OLD;
    // A pipe, a device or a folder is no table: it stays as it is, and the save fails as for a file the player may
    // not write (a link to /dev/null must neither swallow the table nor be replaced by it).
    if (old >= 0 && !S_ISREG(status.st_mode))
        return EGCReplaceStep::OPEN_OLD;

    // The process's own name, so that saves of two processes into one folder never meet. Exclusive creation fails on
    // anything in the name's place, a link included, so nothing there is followed; what a crash of an earlier
    // process of this number left there goes first. A new file with no old one gets the umask's permissions.
    const std::string newPath = path + ".new-" + std::to_string(::getpid());
    ::unlink(newPath.c_str());
    const int descriptor = ::open(newPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                  old >= 0 ? status.st_mode & 0777 : 0666);
    if (descriptor < 0)
        return old >= 0 && folderMayNotChange(errno) ? rewriteInPlace(old, content) : EGCReplaceStep::CREATE_NEW;
    if (old >= 0)
        carryOver(descriptor, status);

    // Unbuffered writes: fsync then takes every byte to the disk before the rename can make it the file.
    const bool synced = writeWhole(descriptor, content) && ::fsync(descriptor) == 0;
    if (::close(descriptor) != 0 || !synced)
    {
        ::unlink(newPath.c_str());
        return EGCReplaceStep::WRITE_NEW;
    }
    if (::rename(newPath.c_str(), path.c_str()) != 0)
    {
        const int error = errno;
        ::unlink(newPath.c_str());
        return old >= 0 && folderMayNotChange(error) ? rewriteInPlace(old, content) : EGCReplaceStep::RENAME;
    }
    syncFolderOf(path);
    return EGCReplaceStep::REPLACED;
}

} // namespace

EGCReplaceStep replaceFileEGC(const std::string& path, std::string_view content)
{
    const std::string file = followLinks(path);
    if (file.empty())
        return EGCReplaceStep::OPEN_OLD;
    // Opening for writing, without truncating or creating, asks the system itself, with the effective ids, the
    // file's access list and a read-only mount all counted; non-blocking so that a pipe by that name cannot hang.
    const int old = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (old < 0)
        return errno == ENOENT ? replace(file, -1, content) : EGCReplaceStep::OPEN_OLD;
    const EGCReplaceStep step = replace(file, old, content);
    ::close(old);
    return step;
}
