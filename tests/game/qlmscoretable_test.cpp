#include "game/qlmscoretable.h"

#include "egl/egltext.h"
#include "tests/dbgtesting.h"
#include "tests/game/screentesting.h"

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

/// Ten records, "Name 1" with 1000 points down to "Name 10" with 100, every line ended.
std::string tenRecords(const std::string& lineEnd = "\n")
{
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += "Name " + std::to_string(i) + lineEnd + std::to_string(1100 - 100 * i) + lineEnd;
    return text;
}

std::vector<QLMScoreEntry> read(const std::string& text)
{
    std::istringstream file(text);
    return readScoreFile(file);
}

TEST(ScoreFile, ReadsTheFirstTenRecordsOfNameAndScoreLines)
{
    const std::vector<QLMScoreEntry> entries = read(tenRecords() + "Eleventh\n5\n");
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries.front().name, "Name 1");
    EXPECT_EQ(entries.front().score, 1000);
    EXPECT_EQ(entries.back().name, "Name 10");
    EXPECT_EQ(entries.back().score, 100);
}

TEST(ScoreFile, KeepsBlanksNegativeScoresAndReadsWindowsLineEndsAndEmptyNamesSoundly)
{
    const std::vector<QLMScoreEntry> entries =
        read(" Spaced out \n-250\n\n7\n" + tenRecords("\r\n").substr(0, tenRecords("\r\n").rfind("Name 9")));
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0].name, " Spaced out ");
    EXPECT_EQ(entries[0].score, -250);
    EXPECT_EQ(entries[1].name, "Anonymous") << "a label needs a character";
    EXPECT_EQ(entries[1].score, 7);
    EXPECT_EQ(entries[2].name, "Name 1") << "no carriage return is left at the end of a name";
    EXPECT_EQ(entries[9].name, "Name 8");
}

TEST(ScoreFile, RefusesAShortOrMalformedFile)
{
    const std::string eof = "Assertion failure: !file.eof()";
    const std::string malformed =
        "Assertion failure: \"highscores.txt holds a name line and a score line per record.\" && !file.fail()";
    std::string withoutLastLineEnd = tenRecords();
    withoutLastLineEnd.pop_back();
    std::string notANumber = tenRecords();
    notANumber.replace(notANumber.find("500"), 3, "lots");
    const struct
    {
        const char* what;
        std::string text;
        std::string thrown;
    } cases[] = {
        {"empty", "", eof},
        {"nine records", tenRecords().substr(0, tenRecords().find("Name 10")), eof},
        {"no line end after the last score", withoutLastLineEnd, eof},
        {"a score that is not a number", notANumber, malformed},
        {"a score beyond 32 bits", "Big\n99999999999\n" + tenRecords(), malformed},
        {"a name of 256 characters", std::string(256, 'n') + "\n1\n" + tenRecords(), malformed},
        {"a score line with 256 characters after the number", "Ann\n1" + std::string(256, ' ') + "\n" + tenRecords(),
         malformed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(thrownBy([&] { read(c.text); }), c.thrown) << c.what;
}

using ScoreRecordTest = ScreenTest;

TEST_F(ScoreRecordTest, ARecordShowsItsRankNameAndScore)
{
    const std::unique_ptr<QLMScoreRecord> record(createScoreRecord(0, "Ann", 1500));
    EXPECT_EQ(record->rankLabel()->text(), "0.");
    EXPECT_EQ(record->nameLabel()->text(), "Ann");
    EXPECT_EQ(record->scoreLabel()->text(), "1500p.");
    record->setRank(3);
    updateRankText(record.get());
    EXPECT_EQ(record->rankLabel()->text(), "3.");
}

TEST_F(ScoreRecordTest, SortingPutsTheHighestFirstAndKeepsTheOrderOfEqualScores)
{
    std::vector<std::unique_ptr<QLMScoreRecord>> owned;
    std::vector<QLMScoreRecord*> records;
    for (const auto& [name, score] : {std::pair{"a", 5}, {"b", 9}, {"c", 5}, {"d", -1}, {"e", 9}})
    {
        owned.emplace_back(createScoreRecord(0, name, score));
        records.push_back(owned.back().get());
    }
    sortScoreRecords(records);
    std::string order;
    for (const QLMScoreRecord* const record : records)
        order += record->name();
    EXPECT_EQ(order, "beacd");

    std::ostringstream file;
    writeScoreFile(file, records);
    EXPECT_EQ(file.str(), "b\n9\ne\n9\na\n5\nc\n5\nd\n-1\n");
}

} // namespace
