#include "game/qlmscoretable.h"

#include "egl/egltext.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "game/qlmgraphics.h"
#include "platform/egc.h"

#include <algorithm>
#include <istream>
#include <new>
#include <ostream>

const float SCORE_TABLE_WIDTH = 200.0f + 600.0f + 100.0f;
const float RANK_COLUMN_X = -(SCORE_TABLE_WIDTH * 0.5f);
const float NAME_COLUMN_X = 100.0f + RANK_COLUMN_X;
const float SCORE_COLUMN_X = 600.0f + NAME_COLUMN_X;

namespace
{

constexpr std::uint32_t ROW_COLOR = 0xFFFF0000;
constexpr int ROW_FONT_ID = 1;
/// Longest name or rest of a score line read back, in characters.
constexpr std::streamsize LINE_LENGTH = 255;

EGLLabel* createRowLabel()
{
    EGL* const egl = graphicsLibrary();
    return createLabel(egl, getFont(ROW_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING), "Null", 0.0f, 0.5f,
                       ROW_COLOR);
}

void drawColumn(EGLTransform* transform, EGLLabel* label)
{
    EGL* const egl = graphicsLibrary();
    egl->pushTransform(transform);
    label->drawLabel();
    egl->popTransform();
}

} // namespace

QLMScoreRecord::QLMScoreRecord(std::int32_t rank, const std::string& name, std::int32_t score)
    : fName(name), fRank(rank), fScore(score), fNameTransform(nullptr), fRankTransform(nullptr),
      fScoreTransform(nullptr), fNameLabel(nullptr), fRankLabel(nullptr), fScoreLabel(nullptr)
{
    EGL* const egl = graphicsLibrary();
    fNameTransform = createTranslationTransform(egl, {NAME_COLUMN_X, 0.0f});
    fRankTransform = createTranslationTransform(egl, {RANK_COLUMN_X, 0.0f});
    fScoreTransform = createTranslationTransform(egl, {SCORE_COLUMN_X, 0.0f});
    fNameLabel = createRowLabel();
    fRankLabel = createRowLabel();
    fScoreLabel = createRowLabel();
    updateRankText(this);
    fNameLabel->setText(fName);
    fScoreLabel->setText(std::to_string(fScore) + "p.");
    DBG_ASSERT(invariant());
}

QLMScoreRecord::~QLMScoreRecord() noexcept(false)
{
    destroyLabel(fScoreLabel);
    destroyLabel(fNameLabel);
    destroyLabel(fRankLabel);
    EGL* const egl = graphicsLibrary();
    egl->destroy(fScoreTransform);
    egl->destroy(fNameTransform);
    egl->destroy(fRankTransform);
}

bool QLMScoreRecord::invariant() const
{
    return fNameTransform && fRankTransform && fScoreTransform && fNameLabel && fRankLabel && fScoreLabel;
}

void QLMScoreRecord::drawRow()
{
    drawColumn(fRankTransform, fRankLabel);
    drawColumn(fNameTransform, fNameLabel);
    drawColumn(fScoreTransform, fScoreLabel);
}

QLMScoreRecord* createScoreRecord(std::int32_t rank, const std::string& name, std::int32_t score)
{
    QLMScoreRecord* const scoreRecord = new (std::nothrow) QLMScoreRecord(rank, name, score);
    DBG_ASSERT(scoreRecord);
    return scoreRecord;
}

void updateRankText(QLMScoreRecord* record)
{
    record->fRankLabel->setText(std::to_string(record->fRank) + ".");
}

std::vector<QLMScoreEntry> readScoreFile(std::istream& file)
{
    std::vector<QLMScoreEntry> entries;
    while (entries.size() < fSCORE_RECORD_COUNT)
    {
        char name[LINE_LENGTH + 1] = {};
        file.getline(name, sizeof name);
        std::int32_t score = 0;
        file >> score;
        char rest[LINE_LENGTH + 1] = {};
        file.getline(rest, sizeof rest);
        DBG_ASSERT(!file.eof());
        // A score that is not a number, or a line too long to read, would leave the stream failed and every later
        // record empty; such a table must not be shown, nor saved over the file.
        DBG_ASSERT("highscores.txt holds a name line and a score line per record." && !file.fail());

        std::string text = name;
        // A table written on Windows ends its lines with a carriage return too.
        while (!text.empty() && text.back() == '\r')
            text.pop_back();
        // A label needs a character; an empty name is what the game itself stores as "Anonymous".
        if (text.empty())
            text = "Anonymous";
        entries.push_back({text, score});
    }
    return entries;
}

void writeScoreFile(std::ostream& file, const std::vector<QLMScoreRecord*>& records)
{
    for (const QLMScoreRecord* const record : records)
    {
        file << record->name() << std::endl;
        file << record->score() << std::endl;
    }
}

void sortScoreRecords(std::vector<QLMScoreRecord*>& records)
{
    std::stable_sort(records.begin(), records.end(),
                     [](const QLMScoreRecord* a, const QLMScoreRecord* b) { return a->score() > b->score(); });
}
