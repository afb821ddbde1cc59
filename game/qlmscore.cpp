#include "game/qlmscore.h"

#include "egl/eglsprite.h"
#include "egl/egltext.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/timers.h"
#include "game/qlmclone.h"
#include "game/qlmcounter.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmscorestars.h"
#include "game/qlmscoretable.h"
#include "game/qlmscreenmachine.h"
#include "game/qlmscroll.h"
#include "platform/egc.h"
#include "platform/egcfile.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <sstream>

const char* const HIGH_SCORE_FILE_NAME = "highscores.txt";

namespace
{

constexpr std::uint32_t BACKGROUND_COLOR = 0xFF202040;
constexpr std::uint32_t HEADING_COLOR = 0xFF00FF00;
/// The plate reaches this far beyond its size on each side, space units.
constexpr float PLATE_MARGIN = 20.0f;

// The table.
std::vector<QLMScoreRecord*> fScoreRecordVector;
EGLLabel* fTitleLabel = nullptr;
EGLTransform* fTableTransform = nullptr;
QLMPlate* fTablePlate = nullptr;

// The name entry.
EGLLabel* fPromptLabel = nullptr;
EGLLabel* fNameLabel = nullptr;
EGLTransform* fPromptTransform = nullptr;
EGLTransform* fNameTransform = nullptr;
QLMPlate* fInputPlate = nullptr;

std::vector<QLMStar*> fStarVector;

// The machine.
ECAMachineType* fScoreMachineType = nullptr;
ECAState* fScoreIdleState = nullptr;
ECAState* fScoreTableState = nullptr;
ECAState* fScoreInputState = nullptr;
ECAState* fScoreFinalState = nullptr;

/// Measures the screen's tick with "Tick score timer" and its draw with "Draw score timer".
class QLMScoreMachine final : public QLMScreenMachine
{
public:
    explicit QLMScoreMachine(ECAMachineType* machineType)
        : QLMScreenMachine(machineType, "Draw score timer", "Tick score timer")
    {
    }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

void tickScore(QLMScoreMachine& machine)
{
    machine.tickTimer().startTimer();
    updateScrollTexts();
    for (QLMStar* const star : fStarVector)
        tickStar(*star);
    updateScoreInput();
    machine.tickTimer().stopTimer();
}

void drawNameEntry()
{
    EGL* const egl = graphicsLibrary();
    fInputPlate->draw();
    egl->pushTransform(fPromptTransform);
    fPromptLabel->drawLabel();
    egl->popTransform();
    egl->pushTransform(fNameTransform);
    fNameLabel->drawLabel();
    egl->popTransform();
}

void drawScoreScreen(QLMScoreMachine& machine)
{
    machine.drawTimer().startTimer();
    EGL* const egl = graphicsLibrary();
    egl->beginScene(getSpace());
    clearScreen(BACKGROUND_COLOR);
    for (QLMStar* const star : fStarVector)
        drawStar(*star);
    drawScrollTexts();
    if (machine.currentState() == fScoreTableState)
        drawScoreTable();
    else if (machine.currentState() == fScoreInputState)
        drawNameEntry();
    egl->endScene();
    machine.drawTimer().stopTimer();
}

class QLMScoreProcess final : public ECAProcess
{
public:
    void tick(ECAMachine& machine) override { tickScore(static_cast<QLMScoreMachine&>(machine)); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMDrawScoreAction final : public ECAAction
{
public:
    void execute(ECAMachine& machine) override { drawScoreScreen(static_cast<QLMScoreMachine&>(machine)); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMUpdateScoreTableAction final : public ECAAction
{
public:
    void execute(ECAMachine&) override { insertHighscore(characterBuffer(), QLMScoreCounter::instance().value()); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMClearCharacterBufferAction final : public ECAAction
{
public:
    void execute(ECAMachine&) override { resetCharacterBuffer(); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMIsHighscoreCondition final : public ECACondition
{
public:
    bool evaluate(ECAMachine&) override
    {
        DBG_ASSERT(scoreTableInvariant());
        return QLMScoreCounter::instance().value() > fScoreRecordVector.back()->score();
    }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

QLMScoreProcess* scoreProcess = nullptr;
QLMDrawScoreAction* drawScore = nullptr;
QLMUpdateScoreTableAction* updateScoreTable = nullptr;
QLMClearCharacterBufferAction* clearCharacterBuffer = nullptr;

QLMPlate* createPlate(const EGLVector& position, const EGLVector& size)
{
    QLMPlate* const plate = new (std::nothrow) QLMPlate(position, size);
    DBG_ASSERT(plate);
    return plate;
}

void numberScoreRecords()
{
    for (std::size_t i = 0; i < fScoreRecordVector.size(); ++i)
    {
        fScoreRecordVector[i]->setRank(static_cast<std::int32_t>(i + 1));
        updateRankText(fScoreRecordVector[i]);
    }
}

/// The title's height and the ten rows' heights, space units.
float scoreTableHeight()
{
    float height = fTitleLabel->labelHeight();
    for (const QLMScoreRecord* const record : fScoreRecordVector)
        height += record->scoreLabel()->labelHeight();
    return height;
}

void buildScoreMachineType()
{
    scoreProcess = new (std::nothrow) QLMScoreProcess();
    DBG_ASSERT(scoreProcess);

    using namespace QLMEventID;
    ECAEvent* const quit = getEvent(QUIT_EVENT_ID);
    ECAEvent* const hallOfFameEntered = getEvent(HALL_OF_FAME_ENTERED_EVENT_ID);
    ECAEvent* const hallOfFameLeft = getEvent(HALL_OF_FAME_LEFT_EVENT_ID);
    ECAEvent* const nameEntryEntered = getEvent(NAME_ENTRY_ENTERED_EVENT_ID);
    ECAEvent* const draw = getEvent(DRAW_SCORE_EVENT_ID);
    ECAEvent* const returnDown = getEvent(RETURN_DOWN_EVENT_ID);

    ECAAction* const null = ECA::nullAction();
    drawScore = new (std::nothrow) QLMDrawScoreAction();
    DBG_ASSERT(drawScore);
    updateScoreTable = new (std::nothrow) QLMUpdateScoreTableAction();
    DBG_ASSERT(updateScoreTable);
    clearCharacterBuffer = new (std::nothrow) QLMClearCharacterBufferAction();
    DBG_ASSERT(clearCharacterBuffer);

    fScoreIdleState = ECA::createState(null, null, ECA::nullProcess(), 0.0);
    fScoreTableState = ECA::createState(null, null, scoreProcess, 0.0);
    fScoreInputState = ECA::createState(null, null, scoreProcess, 0.0);
    fScoreFinalState = ECA::createState(null, null, ECA::nullProcess(), 0.0);

    ECACondition* const always = ECA::tautology();
    fScoreMachineType = ECA::createMachineType(
        {fScoreIdleState, fScoreTableState, fScoreInputState, fScoreFinalState},
        {quit, hallOfFameEntered, hallOfFameLeft, nameEntryEntered, draw, returnDown}, {always},
        {null, drawScore, updateScoreTable, clearCharacterBuffer}, fScoreIdleState, fScoreFinalState);

    const auto add = [](ECAState* from, ECAEvent* event, ECAAction* action, ECAState* to)
    { addUnguardedTransition(fScoreMachineType, from, event, action, to); };
    add(fScoreIdleState, hallOfFameEntered, null, fScoreTableState);
    add(fScoreIdleState, nameEntryEntered, clearCharacterBuffer, fScoreInputState);
    add(fScoreIdleState, quit, null, fScoreFinalState);
    add(fScoreTableState, draw, drawScore, fScoreTableState);
    add(fScoreTableState, hallOfFameLeft, null, fScoreIdleState);
    add(fScoreTableState, quit, null, fScoreFinalState);
    add(fScoreInputState, draw, drawScore, fScoreInputState);
    add(fScoreInputState, returnDown, updateScoreTable, fScoreTableState);
    add(fScoreInputState, quit, null, fScoreFinalState);
}

void startScoreMachine()
{
    const QLMScoreMachine prototype(fScoreMachineType);
    ECA::startMachine(prototype);
}

void destroyScoreMachineType()
{
    ECA::destroyMachineType(fScoreMachineType);
    ECA::destroyState(fScoreIdleState);
    ECA::destroyState(fScoreTableState);
    ECA::destroyState(fScoreInputState);
    ECA::destroyState(fScoreFinalState);
    fScoreMachineType = nullptr;
    fScoreIdleState = fScoreTableState = fScoreInputState = fScoreFinalState = nullptr;

    DBG_ASSERT(drawScore);
    delete drawScore;
    drawScore = nullptr;
    DBG_ASSERT(updateScoreTable);
    delete updateScoreTable;
    updateScoreTable = nullptr;
    DBG_ASSERT(clearCharacterBuffer);
    delete clearCharacterBuffer;
    clearCharacterBuffer = nullptr;
    DBG_ASSERT(scoreProcess);
    delete scoreProcess;
    scoreProcess = nullptr;
}

void destroyScoreInput()
{
    DBG_ASSERT(scoreInputInvariant());
    delete fInputPlate;
    EGL* const egl = graphicsLibrary();
    egl->destroy(fPromptTransform);
    egl->destroy(fNameTransform);
    destroyLabel(fPromptLabel);
    destroyLabel(fNameLabel);
    fInputPlate = nullptr;
    fPromptTransform = fNameTransform = nullptr;
    fPromptLabel = fNameLabel = nullptr;
}

void destroyStars()
{
    while (!fStarVector.empty())
    {
        QLMStar* const star = fStarVector.back();
        DBG_ASSERT(star);
        delete star;
        fStarVector.pop_back();
    }
}

} // namespace

// Plate -----------------------------------------------------------------------------------------------------------

QLMPlate::QLMPlate(const EGLVector& position, const EGLVector& size)
    : fPosition(position), fSize(size), fScaling(nullptr), fTranslation(nullptr), fSprite(nullptr)
{
    EGL* const egl = graphicsLibrary();
    const float margins = PLATE_MARGIN + PLATE_MARGIN;
    fScaling = createScalingTransform(egl, {fSize.x + margins, fSize.y + margins});
    fTranslation = createTranslationTransform(egl, fPosition);
    fSprite = createSprite(getSpriteType(QLMSpriteTypeID::PLATE_SPRITE_TYPE_ID), 0, 0);
    DBG_ASSERT(invariant());
}

QLMPlate::~QLMPlate() noexcept(false)
{
    DBG_ASSERT(invariant());
    EGL* const egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
    destroySprite(fSprite);
}

void QLMPlate::draw()
{
    EGL* const egl = graphicsLibrary();
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fSprite->drawSprite();
    egl->popTransform();
    egl->popTransform();
}

bool QLMPlate::invariant() const
{
    return fScaling && fTranslation && fSprite;
}

// Start-up and shutdown -------------------------------------------------------------------------------------------

void initializeScore()
{
    while (fStarVector.size() < STAR_COUNT)
        fStarVector.push_back(createStar());
    loadScoreTable();
    createScoreInput();
    buildScoreMachineType();
    startScoreMachine();
}

void shutdownScore()
{
    destroyScoreMachineType();
    destroyScoreInput();
    destroyScoreTable();
    destroyStars();
}

ECACondition* createIsHighscoreCondition()
{
    QLMIsHighscoreCondition* const isHighscore = new (std::nothrow) QLMIsHighscoreCondition();
    DBG_ASSERT(isHighscore);
    return isHighscore;
}

void deleteIsHighscoreCondition(ECACondition* condition)
{
    delete condition;
}

// The table -------------------------------------------------------------------------------------------------------

void loadScoreTable()
{
    DBG_ASSERT(!scoreTableInvariant());
    DBG_ASSERT(fScoreRecordVector.empty());

    EGCInputFile file(HIGH_SCORE_FILE_NAME);
    DBG_ASSERT("highscores.txt opened for reading." && file.is_open());
    // Read whole before any record is made, so that a short or malformed file leaves the table empty.
    const std::vector<QLMScoreEntry> entries = readScoreFile(file);
    for (const QLMScoreEntry& entry : entries)
        fScoreRecordVector.push_back(createScoreRecord(0, entry.name, entry.score));

    sortScoreRecords(fScoreRecordVector);
    numberScoreRecords();

    EGL* const egl = graphicsLibrary();
    fTitleLabel = createLabel(egl, getFont(QLMFontID::LARGE_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING),
                              "Hall of fame", 0.5f, 0.5f, HEADING_COLOR);
    const float width = std::max(fTitleLabel->labelWidth(), SCORE_TABLE_WIDTH);
    fTablePlate = createPlate({0.0f, 0.0f}, {width, scoreTableHeight()});
    fTableTransform = egl->createTransform();
    DBG_ASSERT(scoreTableInvariant());
}

void saveScoreTable()
{
    DBG_ASSERT(fSCORE_RECORD_COUNT == fScoreRecordVector.size());

    std::ostringstream text;
    writeScoreFile(text, fScoreRecordVector);
    // Replaced whole where the folder allows: a crash or a full disk during the save leaves the old table.
    const EGCReplaceStep failed = replaceFileEGC(HIGH_SCORE_FILE_NAME, text.str());
    DBG_ASSERT("highscores.txt opened for writing." && failed != EGCReplaceStep::OPEN_OLD);
    DBG_ASSERT("highscores.txt.new opened for writing." && failed != EGCReplaceStep::CREATE_NEW);
    DBG_ASSERT("highscores.txt.new written." && failed != EGCReplaceStep::WRITE_NEW);
    DBG_ASSERT("highscores.txt replaced." && failed != EGCReplaceStep::RENAME);
}

void insertHighscore(const std::string& name, std::int32_t score)
{
    fScoreRecordVector.push_back(createScoreRecord(0, name.empty() ? "Anonymous" : name, score));
    sortScoreRecords(fScoreRecordVector);
    QLMScoreRecord* const scoreRecord = fScoreRecordVector.back();
    DBG_ASSERT(scoreRecord);
    delete scoreRecord;
    fScoreRecordVector.pop_back();
    numberScoreRecords();
    saveScoreTable();
}

void destroyScoreTable()
{
    DBG_ASSERT(scoreTableInvariant());
    destroyLabel(fTitleLabel);
    graphicsLibrary()->destroy(fTableTransform);
    QLMPlate* const plate = fTablePlate;
    DBG_ASSERT(plate);
    delete plate;
    while (!fScoreRecordVector.empty())
    {
        QLMScoreRecord* const scoreRecord = fScoreRecordVector.back();
        DBG_ASSERT(scoreRecord);
        delete scoreRecord;
        fScoreRecordVector.pop_back();
    }
    fTitleLabel = nullptr;
    fTableTransform = nullptr;
    fTablePlate = nullptr;
}

void drawScoreTable()
{
    EGL* const egl = graphicsLibrary();
    fTablePlate->draw();

    const float titleHeight = fTitleLabel->labelHeight();
    const float rowHeight = fScoreRecordVector.front()->scoreLabel()->labelHeight();
    float y = scoreTableHeight() / 2.0f - titleHeight / 2.0f;
    changeTranslation(egl, fTableTransform, {0.0f, y});
    egl->pushTransform(fTableTransform);
    fTitleLabel->drawLabel();
    egl->popTransform();

    y = y - titleHeight / 2.0f - rowHeight / 2.0f;
    for (QLMScoreRecord* const record : fScoreRecordVector)
    {
        changeTranslation(egl, fTableTransform, {0.0f, y});
        egl->pushTransform(fTableTransform);
        record->drawRow();
        egl->popTransform();
        y -= rowHeight;
    }
}

bool scoreTableInvariant()
{
    return fTitleLabel && fTableTransform && fTablePlate && fSCORE_RECORD_COUNT == fScoreRecordVector.size();
}

const std::vector<QLMScoreRecord*>& scoreRecords()
{
    return fScoreRecordVector;
}

// The name entry --------------------------------------------------------------------------------------------------

void createScoreInput()
{
    DBG_ASSERT(!scoreInputInvariant());
    EGL* const egl = graphicsLibrary();
    EGLFont* const font = getFont(QLMFontID::SMALL_FONT_ID);
    EGLBlendingMethod* const blendingMethod = egl->blendingMethod(EGL::ALPHA_BLENDING);
    fPromptLabel = createLabel(egl, font, blendingMethod, "Congratulations! New highscore, please enter your name.",
                               0.5f, 0.5f, HEADING_COLOR);
    fNameLabel = createLabel(egl, font, blendingMethod, "><", 0.5f, 0.5f, HEADING_COLOR);

    const float height = fPromptLabel->labelHeight() + fNameLabel->labelHeight();
    const float width = fPromptLabel->labelWidth();
    fPromptTransform = createTranslationTransform(egl, {0.0f, height * 0.25f});
    fNameTransform = createTranslationTransform(egl, {0.0f, -height * 0.25f});
    fInputPlate = createPlate({0.0f, 0.0f}, {width, height});
    DBG_ASSERT(scoreInputInvariant());
}

void updateScoreInput()
{
    DBG_ASSERT(scoreInputInvariant());
    fNameLabel->setText(">" + characterBuffer() + "<");
    DBG_ASSERT(scoreInputInvariant());
}

bool scoreInputInvariant()
{
    return fPromptLabel && fNameLabel && fPromptTransform && fNameTransform && fInputPlate;
}

const EGLLabel* scoreNameLabel()
{
    return fNameLabel;
}

const std::vector<QLMStar*>& scoreStars()
{
    return fStarVector;
}
