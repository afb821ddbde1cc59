// Feeds arbitrary bytes to the reader of "highscores.txt": it either fails one of its checks or yields exactly ten
// records whose names are non-empty, at most 255 characters and free of a closing carriage return.
#include "game/qlmscoretable.h"

#include "foundation/dbg.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream file(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<QLMScoreEntry> entries;
    try
    {
        entries = readScoreFile(file);
    }
    catch (const DBGException&)
    {
        return 0;
    }
    if (entries.size() != fSCORE_RECORD_COUNT)
        std::abort();
    for (const QLMScoreEntry& entry : entries)
        if (entry.name.empty() || entry.name.size() > 255 || entry.name.back() == '\r')
            std::abort();
    return 0;
}
