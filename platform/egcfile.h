#pragma once
// A file replaced whole, so that a crash, a kill or a full disk leaves either the old content or the new one,
// never a mix, and a link someone put beside the file never redirects the write.
//
// The content goes to a fresh file named after the file with ".new" appended, in the same folder; it reaches the
// disk before that file is renamed over the old one, and the folder follows. Files are opened with the effective
// user's rights, so that a table the player cannot write stays as it is.
//
// Depends on: POSIX files (open, write, fsync, rename). The game's other files are read through the standard
// library, which can neither create a file exclusively with given permissions nor sync it to the disk.

#include <string>
#include <string_view>

/// The step at which replaceFileEGC stopped.
enum class EGCReplaceStep
{
    REPLACED,   // done: the file holds the new content
    OPEN_OLD,   // the file is there but cannot be opened for writing
    CREATE_NEW, // the ".new" file cannot be made
    WRITE_NEW,  // the ".new" file cannot be written whole and synced (a full disk)
    RENAME,     // the ".new" file cannot be renamed over the file
};

/// Replaces the file at path (made when missing) with the content; the new file keeps the old one's permissions.
/// Whatever is at path + ".new" beforehand (a file left by a crash, a link) is removed, never followed. On failure
/// the old file is as it was and no ".new" file this call made is left behind.
EGCReplaceStep replaceFileEGC(const std::string& path, std::string_view content);
