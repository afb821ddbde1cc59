#include "game/qlmintro.h"

#include "egl/eglsprite.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "foundation/rndfactory.h"
#include "foundation/timers.h"
#include "game/qlmclone.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlmscreenmachine.h"
#include "game/qlmscroll.h"
#include "platform/egc.h"

#include <cmath>
#include <map>
#include <new>
#include <numbers>
#include <vector>

namespace
{

constexpr std::uint32_t BACKGROUND_COLOR = 0x00303080;
constexpr double TWO_PI = 2.0 * std::numbers::pi;

/// One ticker: font, blending method, band and text colours (ARGB), height and speed (space units per update).
struct QLMIntroTextRecord
{
    std::uint32_t fontID;
    std::uint32_t blendingMethodID;
    std::uint32_t bandColor;
    std::uint32_t textColor;
    float y;
    float speed;
    const char* text;
};

const QLMIntroTextRecord INTRO_TEXTS[] = {
    {1, 3, 0x40000000, 0xFFFF8080, -536.0f, 1.0f,
     "Quick help; [ESCAPE] - main menu; [UP/DOWN-ARROW] - menu navigation; [RETURN] - select menu item; "
     "[LEFT MOUSE BUTTON] - Start game / Fire"},
    {1, 3, 0x40000000, 0xFFFF8080, -472.0f, 2.0f,
     "Welcome to quillom 1.0! "
     "Brief instructions; split (or repel) the attacking splods into successively smaller splods until they vanish "
     "completely. "
     "Splods come in four different colors; red, green, blue, and purple. "
     "In order to split a splod it must be shot with a bullet having a matching color; a red bullet splits any red "
     "splods and so on. "
     "When a splod is hit by a non-matching bullet the splod is repelled only (as opposed to being repelled and "
     "split when the colors match). "
     "Each time a splod gets past the defense and crashes into the shield surrounding the gun tower the shield "
     "energy (represented by its radius) is reduced up to a point where the game is simply over. "
     "Quillom combines action, strategy, and puzzle into one game. "
     "The action lies in the constant defense of the gun tower by splitting and repelling the attacking splods. "
     "This is, however, complemented with more strategic or puzzle-like aspects which arise due to the fact that "
     "almost any action within the game comes with long-term effects as well as the short-term  effects (\"the "
     "action\"). "
     "Splitting a splod, for example, produces two smaller and faster splods each of which have to be dealt with at "
     "some later point in the game. "
     "Given that there are already several small splod splinters around the gun tower, it may be strategically "
     "more appealing to simply repel the splod and deal with it as a whole later on when the smaller splinters have "
     "been dealt with first."},
};

std::vector<QLMParticle*> fParticleVector;
QLMParticleWaves fWaves = {};

EGLSprite* fQuillomLogo = nullptr;
EGLTransform* fQuillomLogoTransform = nullptr;
EGLSprite* fTarnwickLogo = nullptr;
EGLTransform* fTarnwickLogoTransform = nullptr;

std::map<int, QLMScrollText*> introTextMap;

ECAMachineType* fIntroMachineType = nullptr;
ECAState* INTRO_IDLE = nullptr;
ECAState* INTRO_SHOWING = nullptr;
ECAState* INTRO_FINAL = nullptr;

bool particleSystemIsInitialized()
{
    return !fParticleVector.empty();
}

bool quillomLogoIsInitialized()
{
    return fQuillomLogo && fQuillomLogoTransform;
}

bool tarnwickLogoIsInitialized()
{
    return fTarnwickLogo && fTarnwickLogoTransform;
}

/// Measures the screen's tick with "Tick intro" and its draw with "Draw intro".
class QLMIntroMachine final : public QLMScreenMachine
{
public:
    explicit QLMIntroMachine(ECAMachineType* machineType) : QLMScreenMachine(machineType, "Draw intro", "Tick intro") {}
    /// Requires both timers and a valid machine.
    ~QLMIntroMachine() noexcept(false) override
    {
        DBG_ASSERT(timersExist());
        DBG_ASSERT(invariant());
    }
    ECACloneable* clone() const override { return cloneOf(*this); }
    /// The machine's validity.
    bool invariant() const { return isValid(); }
};

/// A random frame of the particle sheet.
void pickParticleFrame(QLMParticle& particle)
{
    RNDTool* const random = randomTool();
    const EGLSpriteType* const spriteType = particle.sprite()->spriteType();
    const std::int32_t column = random->uniformInteger(0, spriteType->frameColumnCount() - 1);
    const std::int32_t row = random->uniformInteger(0, spriteType->frameRowCount() - 1);
    particle.sprite()->setFrame(column, row);
}

void createParticles()
{
    DBG_ASSERT(!particleSystemIsInitialized());
    for (std::size_t i = 0; i < PARTICLE_COUNT; ++i)
    {
        QLMParticle* const particle = new (std::nothrow) QLMParticle();
        DBG_ASSERT(particle);
        pickParticleFrame(*particle);
        fParticleVector.push_back(particle);
    }
    DBG_ASSERT(PARTICLE_COUNT == fParticleVector.size());
}

void destroyParticles()
{
    DBG_ASSERT(particleSystemIsInitialized());
    for (QLMParticle* const particle : fParticleVector)
        delete particle;
    fParticleVector.clear();
}

/// A draw in [low, high), as the low end plus a draw from 0.
double uniformIn(double low, double high)
{
    return low + randomTool()->uniform(0.0, high - low);
}

void randomizeWave(QLMParticleWave& wave, double particleLow, double particleHigh, double tickLow, double tickHigh)
{
    wave.phase = uniformIn(0.0, TWO_PI);
    wave.particleStep = uniformIn(particleLow, particleHigh);
    wave.tickStep = uniformIn(tickLow, tickHigh);
}

void randomizeParticles()
{
    // The draws go pair by pair for the positions: both phases, both particle steps, both tick steps.
    const auto randomizePair = [](QLMParticleWave& a, QLMParticleWave& b)
    {
        a.phase = uniformIn(0.0, TWO_PI);
        b.phase = uniformIn(0.0, TWO_PI);
        a.particleStep = uniformIn(0.0, std::numbers::pi);
        b.particleStep = uniformIn(0.0, std::numbers::pi);
        a.tickStep = uniformIn(0.001, 0.02);
        b.tickStep = uniformIn(0.001, 0.02);
    };
    randomizePair(fWaves.x1, fWaves.x2);
    randomizePair(fWaves.y1, fWaves.y2);
    randomizeWave(fWaves.w, 0.1, 0.4, 0.01, 0.02);
    randomizeWave(fWaves.h, 0.1, 0.4, 0.01, 0.02);
    for (QLMParticle* const particle : fParticleVector)
        pickParticleFrame(*particle);
}

void updateParticles()
{
    QLMParticleWaves phases = fWaves;
    for (QLMParticle* const particle : fParticleVector)
    {
        // Two sines in [-2, 2] mapped onto the field: x in [-800, 800], y in [-600, 600]; sizes in [150, 200].
        const double x = ((std::sin(phases.x2.phase) + std::sin(phases.x1.phase)) + 2.0) * 0.25 * 1600.0 - 800.0;
        const double y = ((std::sin(phases.y2.phase) + std::sin(phases.y1.phase)) + 2.0) * 0.25 * 1200.0 - 600.0;
        const double width = (std::sin(phases.w.phase) + 1.0) * 0.5 * 50.0 + 150.0;
        const double height = (std::sin(phases.h.phase) + 1.0) * 0.5 * 50.0 + 150.0;
        particle->place(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                        static_cast<float>(height));
        for (QLMParticleWave* const wave : {&phases.x1, &phases.x2, &phases.y1, &phases.y2, &phases.w, &phases.h})
            wave->phase += wave->particleStep;
    }
    for (QLMParticleWave* const wave : {&fWaves.x1, &fWaves.x2, &fWaves.y1, &fWaves.y2, &fWaves.w, &fWaves.h})
        wave->phase += wave->tickStep;
}

void drawLogo(EGLTransform* transform, EGLSprite* sprite)
{
    EGL* const egl = graphicsLibrary();
    egl->pushTransform(transform);
    sprite->drawSprite();
    egl->popTransform();
}

void drawIntro(QLMIntroMachine& machine)
{
    machine.drawTimer().startTimer();
    EGL* const egl = graphicsLibrary();
    egl->beginScene(getSpace());
    clearScreen(BACKGROUND_COLOR);
    for (QLMParticle* const particle : fParticleVector)
        particle->draw();
    DBG_ASSERT(quillomLogoIsInitialized());
    drawLogo(fQuillomLogoTransform, fQuillomLogo);
    drawScrollTexts();
    DBG_ASSERT(tarnwickLogoIsInitialized());
    drawLogo(fTarnwickLogoTransform, fTarnwickLogo);
    egl->endScene();
    machine.drawTimer().stopTimer();
}

class QLMIntroMachineProcess final : public ECAProcess
{
public:
    void tick(ECAMachine& machine) override
    {
        DBGTimer& timer = static_cast<QLMIntroMachine&>(machine).tickTimer();
        timer.startTimer();
        updateParticles();
        updateScrollTexts();
        timer.stopTimer();
    }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMDrawIntroMachineAction final : public ECAAction
{
public:
    void execute(ECAMachine& machine) override { drawIntro(static_cast<QLMIntroMachine&>(machine)); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMRandomizeIntroMachineAction final : public ECAAction
{
public:
    void execute(ECAMachine&) override { randomizeParticles(); }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

QLMIntroMachineProcess* introMachineProcess = nullptr;
QLMDrawIntroMachineAction* drawIntroMachine = nullptr;
QLMRandomizeIntroMachineAction* randomizeIntroMachine = nullptr;

void initializeProductLogo()
{
    DBG_ASSERT(!quillomLogoIsInitialized());
    fQuillomLogoTransform = createTranslationTransform(graphicsLibrary(), {0.0f, 600.0f});
    fQuillomLogo = createSprite(getSpriteType(QLMSpriteTypeID::PRODUCT_LOGO_SPRITE_TYPE_ID), 0, 0);
    DBG_ASSERT(quillomLogoIsInitialized());
}

void initializeMakerLogo()
{
    DBG_ASSERT(!tarnwickLogoIsInitialized());
    fTarnwickLogoTransform = createTranslationTransform(graphicsLibrary(), {0.0f, -600.0f});
    fTarnwickLogo = createSprite(getSpriteType(QLMSpriteTypeID::MAKER_LOGO_SPRITE_TYPE_ID), 0, 0);
    DBG_ASSERT(tarnwickLogoIsInitialized());
}

void destroyLogo(EGLSprite*& sprite, EGLTransform*& transform)
{
    destroySprite(sprite);
    graphicsLibrary()->destroy(transform);
    sprite = nullptr;
    transform = nullptr;
}

void openIntroTexts()
{
    EGL* const egl = graphicsLibrary();
    for (int row = 0; row < static_cast<int>(std::size(INTRO_TEXTS)); ++row)
    {
        const QLMIntroTextRecord& record = INTRO_TEXTS[row];
        introTextMap[row + 1] =
            openScrollText(getFont(static_cast<int>(record.fontID)),
                           egl->blendingMethod(static_cast<std::int32_t>(record.blendingMethodID)), record.bandColor,
                           record.textColor, record.text, record.y, -800.0f, 800.0f, record.speed);
    }
}

void closeIntroTexts()
{
    for (const auto& [row, text] : introTextMap)
        closeScrollText(text);
    introTextMap.clear();
}

void buildIntroMachineType()
{
    introMachineProcess = new (std::nothrow) QLMIntroMachineProcess();
    DBG_ASSERT(introMachineProcess);
    drawIntroMachine = new (std::nothrow) QLMDrawIntroMachineAction();
    DBG_ASSERT(drawIntroMachine);
    randomizeIntroMachine = new (std::nothrow) QLMRandomizeIntroMachineAction();
    DBG_ASSERT(randomizeIntroMachine);

    using namespace QLMEventID;
    ECAEvent* const quit = getEvent(QUIT_EVENT_ID);
    ECAEvent* const entered = getEvent(INTRO_ENTERED_EVENT_ID);
    ECAEvent* const left = getEvent(INTRO_LEFT_EVENT_ID);
    ECAEvent* const draw = getEvent(DRAW_INTRO_EVENT_ID);

    ECAAction* const null = ECA::nullAction();
    INTRO_IDLE = ECA::createState(null, null, ECA::nullProcess(), 0.0);
    INTRO_SHOWING = ECA::createState(null, null, introMachineProcess, 0.0);
    INTRO_FINAL = ECA::createState(null, null, ECA::nullProcess(), 0.0);

    ECACondition* const always = ECA::tautology();
    fIntroMachineType =
        ECA::createMachineType({INTRO_IDLE, INTRO_SHOWING, INTRO_FINAL}, {quit, entered, left, draw}, {always},
                               {null, drawIntroMachine, randomizeIntroMachine}, INTRO_IDLE, INTRO_FINAL);
    const auto add = [](ECAState* from, ECAEvent* event, ECAAction* action, ECAState* to)
    { addUnguardedTransition(fIntroMachineType, from, event, action, to); };
    add(INTRO_IDLE, entered, randomizeIntroMachine, INTRO_SHOWING);
    add(INTRO_IDLE, quit, null, INTRO_FINAL);
    add(INTRO_SHOWING, left, null, INTRO_IDLE);
    add(INTRO_SHOWING, quit, null, INTRO_FINAL);
    add(INTRO_SHOWING, draw, drawIntroMachine, INTRO_SHOWING);
}

void startIntroMachine()
{
    const QLMIntroMachine prototype(fIntroMachineType);
    ECA::startMachine(prototype);
}

void destroyIntroMachineType()
{
    ECA::destroyMachineType(fIntroMachineType);
    fIntroMachineType = nullptr;
    for (ECAState** const state : {&INTRO_IDLE, &INTRO_SHOWING, &INTRO_FINAL})
    {
        ECA::destroyState(*state);
        *state = nullptr;
    }
    delete introMachineProcess;
    delete drawIntroMachine;
    delete randomizeIntroMachine;
    introMachineProcess = nullptr;
    drawIntroMachine = nullptr;
    randomizeIntroMachine = nullptr;
}

} // namespace

QLMParticle::QLMParticle() : fSprite(nullptr), fScaling(nullptr), fTranslation(nullptr)
{
    EGL* const egl = graphicsLibrary();
    fSprite = createSprite(getSpriteType(QLMSpriteTypeID::PARTICLES_SPRITE_TYPE_ID), 0, 0);
    fScaling = egl->createTransform();
    fTranslation = egl->createTransform();
}

QLMParticle::~QLMParticle() noexcept(false)
{
    destroySprite(fSprite);
    EGL* const egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
}

void QLMParticle::place(float x, float y, float widthScale, float heightScale)
{
    EGL* const egl = graphicsLibrary();
    changeTranslation(egl, fTranslation, {x, y});
    changeScaling(egl, fScaling, {widthScale, heightScale});
}

void QLMParticle::draw()
{
    EGL* const egl = graphicsLibrary();
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fSprite->drawSprite();
    egl->popTransform();
    egl->popTransform();
}

void initializeIntro()
{
    createParticles();
    initializeProductLogo();
    initializeMakerLogo();
    openIntroTexts();
    buildIntroMachineType();
    startIntroMachine();
}

void shutdownIntro()
{
    destroyIntroMachineType();
    closeIntroTexts();
    DBG_ASSERT(tarnwickLogoIsInitialized());
    destroyLogo(fTarnwickLogo, fTarnwickLogoTransform);
    DBG_ASSERT(!tarnwickLogoIsInitialized());
    DBG_ASSERT(quillomLogoIsInitialized());
    destroyLogo(fQuillomLogo, fQuillomLogoTransform);
    DBG_ASSERT(!quillomLogoIsInitialized());
    destroyParticles();
}

const QLMParticleWaves& introWaves()
{
    return fWaves;
}
