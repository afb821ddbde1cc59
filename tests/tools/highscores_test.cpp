#include "tools/datagen/highscores.h"

#include "tests/tools/datafiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{

struct Record
{
    std::string name;
    int score;
};

/// Reads ten records as the game does: a name line of at most 255 characters, a decimal score, the rest of
/// its line dropped; the file must not end before the tenth record's line end.
std::vector<Record> readTable(std::istream& in)
{
    std::vector<Record> records;
    while (records.size() < 10)
    {
        char name[256];
        in.getline(name, sizeof name);
        int score = 0;
        in >> score;
        char rest[256];
        in.getline(rest, sizeof rest);
        EXPECT_TRUE(in.good()) << "record " << records.size() + 1;
        EXPECT_EQ(std::string(rest), "");
        records.push_back({name, score});
        EXPECT_FALSE(in.eof());
    }
    return records;
}

std::vector<Record> readFile(const std::string& path)
{
    std::ifstream in(path);
    EXPECT_TRUE(in.is_open()) << path;
    return readTable(in);
}

TEST(HighScores, TheFirstTableHoldsTenNamedRecordsScoresDescendingEveryLineEnded)
{
    const std::string text = datagen::firstHighScoreTable();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20);
    std::istringstream in(text);
    const std::vector<Record> records = readTable(in);
    for (std::size_t i = 0; i < records.size(); ++i)
    {
        EXPECT_FALSE(records[i].name.empty());
        EXPECT_LE(records[i].name.size(), 20u); // what a player can type
        EXPECT_GT(records[i].score, 0);
        if (i > 0)
        {
            EXPECT_LT(records[i].score, records[i - 1].score);
        }
    }
    in.peek();
    EXPECT_TRUE(in.eof()) << "nothing follows the ten records";
}

TEST(HighScores, TheBuiltDataFolderHasATableTheGameCanRead)
{
    EXPECT_EQ(readFile(dataPath("highscores.txt")).size(), 10u);
}

TEST(HighScores, TheTableIsWrittenWhenMissingAndAPlayersTableIsNeverOverwritten)
{
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / ("quillom-highscores-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    const std::string path = (directory / "highscores.txt").string();

    EXPECT_TRUE(datagen::writeHighScoresIfMissing(path));
    EXPECT_EQ(readFile(path).front().name, "Nova Quill");

    const std::string players = "Ann\n99999\nBo\n2\nC\n1\nD\n0\nE\n0\nF\n0\nG\n0\nH\n0\nI\n0\nJ\n-5\n";
    std::ofstream(path) << players;
    EXPECT_FALSE(datagen::writeHighScoresIfMissing(path));
    std::ostringstream kept;
    kept << std::ifstream(path).rdbuf();
    EXPECT_EQ(kept.str(), players);
    std::filesystem::remove_all(directory);
}

} // namespace
