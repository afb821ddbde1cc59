// Names are invented for this game; scores leave room for a first game to enter the table.

#include "tools/datagen/highscores.h"

#include "foundation/dbg.h"

#include <filesystem>
#include <fstream>

namespace datagen
{

std::string firstHighScoreTable()
{
    static const struct
    {
        const char* name;
        int score;
    } RECORDS[] = {
        {"Nova Quill", 60000},  {"Zed Marlow", 45000}, {"Ivy Sparks", 32000}, {"Orla Venn", 24000},
        {"Kip Fennick", 17500}, {"Mira Flux", 12000},  {"Juno Vale", 8000},   {"Rex Cobalt", 5000},
        {"Tess Ember", 2500},   {"Pim Lantern", 1000},
    };
    std::string text;
    for (const auto& record : RECORDS)
        text += std::string(record.name) + "\n" + std::to_string(record.score) + "\n";
    return text;
}

bool writeHighScoresIfMissing(const std::string& fileName)
{
    if (std::filesystem::exists(fileName))
        return false;
    std::ofstream out(fileName);
    out << firstHighScoreTable();
    out.close();
    DBG_CHECK(out, "High-score file could not be written.");
    return true;
}

} // namespace datagen
