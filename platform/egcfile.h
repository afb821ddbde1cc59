#pragma once
// A file replaced whole where its folder allows, so that a crash, a kill or a full disk leaves either the old content
// or the new one, never a mix, and a link someone put beside the file never redirects the write.
//
// The content goes to a fresh file beside the file, named after it with ".new-" and the process id appended, so
// that two processes saving at once never meet; it reaches the disk before that file is renamed over the old one,
// and the folder follows. The old file's owner and permissions carry over where the file system keeps them. A link
// at the file's name is followed: the file it names is replaced, in that file's own folder, and the link stays.
// Files are opened with the effective user's rights, so that a file the player cannot write stays as it is. Where
// the player may write the file but not replace it (a folder the player may not change, another user's file in a
// folder with the sticky bit), the file is rewritten in place and synced, as a plain save would; a crash during
// that write may leave a mix. A pipe or a device at the name is no file to replace: it stays, and the call fails.
//
// Depends on: POSIX files (open, write, ftruncate, fsync, rename, fchown, fchmod), which alone can create a file
// exclusively with given permissions and sync it to the disk; host/inputfile for reading.

#include "host/inputfile.h"

#include <string>
#include <string_view>

/// The game reads its own files through this stream: only a regular file opens, so that a FIFO or a device in a
/// file's place fails the reader's open check at once instead of making the game wait.
using EGCInputFile = HostInputFile;

/// The step at which replaceFileEGC stopped.
enum class EGCReplaceStep
{
    REPLACED,   // done: the file holds the new content
    OPEN_OLD,   // the file is there but cannot be opened for writing, is no plain file, or its links go round in a loop
    CREATE_NEW, // the new file cannot be made, for a reason other than the folder's permissions (a full disk)
    WRITE_NEW,  // the new content cannot be written whole and synced (a full disk)
    RENAME,     // the new file cannot be renamed over the file, for a reason other than the folder's permissions
};

/// Replaces the file at path, or the file a link there names, (made when missing) with the content; it keeps the old
/// one's owner and permissions where the file system allows. Whatever is at the new file's name beforehand (a file
/// left by a crash, a link) is removed, never followed. On failure the old file is as it was, but for a rewrite in
/// place that stopped midway, and no file this call made is left behind.
EGCReplaceStep replaceFileEGC(const std::string& path, std::string_view content);
