#pragma once
// A working folder of its own holding the game's data files, so that a run may rewrite "highscores.txt" without
// touching the build's data folder or another test's.

#include <filesystem>
#include <string>

#include <unistd.h>

/// Made empty under the temporary folder (named after the process and the given name), filled with links to the
/// build's pictures and sounds and a copy of its high-score table, and made the working directory while it lives.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& name)
        : fWorkingDirectory(std::filesystem::current_path()),
          fFolder(std::filesystem::temp_directory_path() / ("quillom-" + std::to_string(::getpid()) + "-" + name))
    {
        std::filesystem::remove_all(fFolder);
        std::filesystem::create_directories(fFolder);
        // Pictures and sounds are only read: links will do. The table is a copy of its own.
        for (const auto& entry : std::filesystem::directory_iterator(QUILLOM_DATA_DIR))
        {
            if (entry.path().filename() == "highscores.txt")
                std::filesystem::copy_file(entry.path(), fFolder / "highscores.txt");
            else
                std::filesystem::create_symlink(entry.path(), fFolder / entry.path().filename());
        }
        std::filesystem::current_path(fFolder);
    }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    ~ScratchFolder()
    {
        std::filesystem::current_path(fWorkingDirectory);
        std::filesystem::remove_all(fFolder);
    }

private:
    std::filesystem::path fWorkingDirectory;
    std::filesystem::path fFolder;
};
