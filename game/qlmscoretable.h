#pragma once
// The rows of the hall of fame and the high-score file "highscores.txt" they are read from and written to.
//
// The file is plain text of exactly ten records in rank order, each a name line and a score line (a decimal
// integer, a minus sign when negative); every line, the last included, ends with a line end. Nothing else is in it.
//
// Depends on: the graphics library (platform/egc.h) and font 1 of the graphics module (qlmgraphics) for the labels.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

class EGLLabel;
class EGLTransform;

/// Records in the table and in the file.
constexpr std::size_t fSCORE_RECORD_COUNT = 10;

/// Widths of the table and x of its three columns (rank 100, name 600, score 200 units wide), space units.
extern const float SCORE_TABLE_WIDTH;
extern const float RANK_COLUMN_X;
extern const float NAME_COLUMN_X;
extern const float SCORE_COLUMN_X;

/// One record as the file holds it.
struct QLMScoreEntry
{
    std::string name;
    std::int32_t score;
};

/// One row of the table: rank, name and score, each a label in its column.
class QLMScoreRecord
{
public:
    QLMScoreRecord(std::int32_t rank, const std::string& name, std::int32_t score);
    QLMScoreRecord(const QLMScoreRecord&) = delete;
    QLMScoreRecord& operator=(const QLMScoreRecord&) = delete;
    ~QLMScoreRecord() noexcept(false);

    const std::string& name() const { return fName; }
    /// 1 to 10 once numbered; 0 when made.
    std::int32_t rank() const { return fRank; }
    std::int32_t score() const { return fScore; }
    /// Sets the rank; its label follows with updateRankText.
    void setRank(std::int32_t rank) { fRank = rank; }

    const EGLLabel* rankLabel() const { return fRankLabel; }
    const EGLLabel* nameLabel() const { return fNameLabel; }
    /// Shows the score followed by "p.", as in "1500p.".
    const EGLLabel* scoreLabel() const { return fScoreLabel; }

    /// Draws the three columns around the current transform's origin, centred vertically on it; inside a scene.
    void drawRow();

    bool invariant() const;

private:
    friend void updateRankText(QLMScoreRecord* record);

    std::string fName;
    std::int32_t fRank;
    std::int32_t fScore;
    EGLTransform* fNameTransform;
    EGLTransform* fRankTransform;
    EGLTransform* fScoreTransform;
    EGLLabel* fNameLabel;
    EGLLabel* fRankLabel;
    EGLLabel* fScoreLabel;
};

/// A new record, owned by the caller, who deletes it.
QLMScoreRecord* createScoreRecord(std::int32_t rank, const std::string& name, std::int32_t score);
/// Sets the rank label to the rank followed by a full stop, as in "3.".
void updateRankText(QLMScoreRecord* record);

/// Reads the first ten records of the file: a name line of at most 255 characters (carriage returns ending it are
/// dropped; an empty name reads as "Anonymous"), a decimal score, the rest of its line dropped. Fails the check
/// "!file.eof()" when the file ends before the line end of the tenth score, and rejects a score that is not a
/// number or a line longer than 255 characters.
std::vector<QLMScoreEntry> readScoreFile(std::istream& file);
/// Writes the records: name, line end, score, line end, each.
void writeScoreFile(std::ostream& file, const std::vector<QLMScoreRecord*>& records);
/// Orders the records by score, highest first; records of equal score keep their order.
void sortScoreRecords(std::vector<QLMScoreRecord*>& records);
