#include "game/qlmmenu.h"

#include "egl/egltext.h"
#include "egl/egltool.h"
#include "foundation/dbg.h"
#include "foundation/eca.h"
#include "game/qlmclone.h"
#include "game/qlmevent.h"
#include "game/qlmgraphics.h"
#include "game/qlminput.h"
#include "game/qlmscreenmachine.h"
#include "game/qlmsound.h"
#include "platform/egc.h"

#include <cstddef>
#include <new>
#include <set>
#include <span>

namespace
{

using ID = QLMMenuItemID;

constexpr std::uint32_t ITEM_COLOR = 0xFF00C000;
constexpr std::uint32_t ACTIVE_ITEM_COLOR = 0xFF00FF00;
constexpr float ACTIVE_SCALE = 1.5f;
/// Share of the way to its target size that an item goes per tick.
constexpr float EASING = 0.1f;

/// Draws the page's column centred on the screen, the items touching; over the frame drawn so far.
void drawMenuPage(const QLMMenuPage& page)
{
    float total = 0.0f;
    for (const QLMMenuItem* const item : page)
        total += item->height();
    EGL* const egl = graphicsLibrary();
    egl->beginScene(getSpace());
    float y = total * 0.5f;
    for (QLMMenuItem* const item : page)
    {
        item->draw(y);
        y -= item->height();
    }
    egl->endScene();
}

class QLMDrawMenuPageAction final : public ECAAction
{
public:
    explicit QLMDrawMenuPageAction(const QLMMenuPage* page) : fPage(page) {}
    void execute(ECAMachine&) override { drawMenuPage(*fPage); }
    ECACloneable* clone() const override { return cloneOf(*this); }

private:
    const QLMMenuPage* fPage;
};

void activateItem(QLMMenuItem& item)
{
    item.activate();
}

void deactivateItem(QLMMenuItem& item)
{
    item.deactivate();
}

void selectItem(QLMMenuItem& item)
{
    item.chosen();
    playSound(QLMSampleID::SELECT_MENU_ITEM_SAMPLE_ID);
}

/// An action on one item.
template <void (*Work)(QLMMenuItem&)>
class QLMMenuItemAction final : public ECAAction
{
public:
    explicit QLMMenuItemAction(QLMMenuItem* item) : fItem(item) {}
    void execute(ECAMachine&) override { Work(*fItem); }
    ECACloneable* clone() const override { return cloneOf(*this); }

private:
    QLMMenuItem* fItem;
};

using QLMActivateMenuItemAction = QLMMenuItemAction<&activateItem>;
using QLMDeactivateMenuItemAction = QLMMenuItemAction<&deactivateItem>;
using QLMSelectMenuItemAction = QLMMenuItemAction<&selectItem>;

std::set<QLMMenuItem*> fMenuItemSet;

/// Eases every item, those of the pages not shown too.
class QLMMenuProcess final : public ECAProcess
{
public:
    void tick(ECAMachine&) override
    {
        for (QLMMenuItem* const item : fMenuItemSet)
            item->ease();
    }
    ECACloneable* clone() const override { return cloneOf(*this); }
};

class QLMMenuMachine final : public ECAMachine
{
public:
    explicit QLMMenuMachine(ECAMachineType* machineType) : ECAMachine(machineType) {}
    ECACloneable* clone() const override { return cloneOf(*this); }
};

/// An item with its state and the actions that activate, deactivate and select it (sub-page items only).
struct QLMMenuItemSlot
{
    QLMMenuItem* item = nullptr;
    QLMActivateMenuItemAction* activate = nullptr;
    QLMDeactivateMenuItemAction* deactivate = nullptr;
    QLMSelectMenuItemAction* select = nullptr;
    ECAState* state = nullptr;
};

/// The members' names, which failed creation checks report.
struct QLMMenuItemNames
{
    const char* item;
    const char* activate;
    const char* deactivate;
    const char* select;
};

constexpr QLMMenuItemNames ITEM_NAMES[MENU_ITEM_COUNT] = {
    {"fGraphicsMenuItem", "fActivateGraphicsAction", "fDeactivateGraphicsAction", nullptr},
    {"fSoundMenuItem", "fActivateSoundAction", "fDeactivateSoundAction", nullptr},
    {"fInputMenuItem", "fActivateInputAction", "fDeactivateInputAction", nullptr},
    {"fExitMenuItem", "fActivateExitAction", "fDeactivateExitAction", nullptr},
    {"fLoresMenuItem", "fActivateLoresAction", "fDeactivateLoresAction", "fSelectLoresAction"},
    {"fMeresMenuItem", "fActivateMeresAction", "fDeactivateMeresAction", "fSelectMeresAction"},
    {"fHiresMenuItem", "fActivateHiresAction", "fDeactivateHiresAction", "fSelectHiresAction"},
    {"fSamplesMenuItem", "fActivateSamplesAction", "fDeactivateSamplesAction", "fSelectSamplesAction"},
    {"fMusicMenuItem", "fActivateMusicAction", "fDeactivateMusicAction", "fSelectMusicAction"},
    {"fLowVelocityMenuItem", "fActivateLowVelocityAction", "fDeactivateLowVelocityAction", "fSelectLowVelocityAction"},
    {"fMediumVelocityMenuItem", "fActivateMediumVelocityAction", "fDeactivateMediumVelocityAction",
     "fSelectMediumVelocityAction"},
    {"fHighVelocityMenuItem", "fActivateHighVelocityAction", "fDeactivateHighVelocityAction",
     "fSelectHighVelocityAction"},
};

QLMMenuItemSlot fSlots[MENU_ITEM_COUNT];

QLMMenuPage* fMainMenuPage = nullptr;
QLMMenuPage* fGraphicsMenuPage = nullptr;
QLMMenuPage* fSoundMenuPage = nullptr;
QLMMenuPage* fInputMenuPage = nullptr;

QLMDrawMenuPageAction* fDrawMainMenuAction = nullptr;
QLMDrawMenuPageAction* fDrawGraphicsMenuAction = nullptr;
QLMDrawMenuPageAction* fDrawSoundMenuAction = nullptr;
QLMDrawMenuPageAction* fDrawInputMenuAction = nullptr;

ECAMessageAction* fPostMenuOpenedAction = nullptr;
ECAMessageAction* fPostMenuClosedAction = nullptr;
ECAMessageAction* fPostQuitAction = nullptr;
QLMMenuProcess* fMenuProcess = nullptr;

ECAMachineType* fMenuMachineType = nullptr;
ECAState* fMenuIdleState = nullptr;
ECAState* fMenuFinalState = nullptr;

QLMMenuItemSlot& slot(ID id)
{
    return fSlots[static_cast<int>(id)];
}

constexpr ID MAIN_PAGE_ITEMS[] = {ID::GRAPHICS, ID::SOUND, ID::INPUT, ID::EXIT};
constexpr ID GRAPHICS_PAGE_ITEMS[] = {ID::LORES, ID::MERES, ID::HIRES};
constexpr ID SOUND_PAGE_ITEMS[] = {ID::SAMPLES, ID::MUSIC};
constexpr ID INPUT_PAGE_ITEMS[] = {ID::LOW_VELOCITY, ID::MEDIUM_VELOCITY, ID::HIGH_VELOCITY};

/// The first item of the sub-page that Return opens from a main-page item.
ID subPageStart(ID id)
{
    switch (id)
    {
    case ID::GRAPHICS:
        return ID::LORES;
    case ID::SOUND:
        return ID::SAMPLES;
    case ID::INPUT:
        return ID::LOW_VELOCITY;
    default:
        DBG_ERROR("Menu item without a sub-page.");
    }
}

QLMMenuItem* createItem(ID id)
{
    switch (id)
    {
    case ID::GRAPHICS:
        return new (std::nothrow) QLMGraphicsMenuItem();
    case ID::SOUND:
        return new (std::nothrow) QLMSoundMenuItem();
    case ID::INPUT:
        return new (std::nothrow) QLMInputMenuItem();
    case ID::EXIT:
        return new (std::nothrow) QLMExitMenuItem();
    case ID::LORES:
        return new (std::nothrow) QLMResolutionMenuItem(QLMDevices::SCREEN_640X480_DEVICE_ID);
    case ID::MERES:
        return new (std::nothrow) QLMResolutionMenuItem(QLMDevices::SCREEN_800X600_DEVICE_ID);
    case ID::HIRES:
        return new (std::nothrow) QLMResolutionMenuItem(QLMDevices::SCREEN_1024X768_DEVICE_ID);
    case ID::SAMPLES:
        return new (std::nothrow) QLMSamplesMenuItem();
    case ID::MUSIC:
        return new (std::nothrow) QLMMusicMenuItem();
    case ID::LOW_VELOCITY:
        return new (std::nothrow) QLMVelocityMenuItem(QLMMouseVelocityID::LOW_VELOCITY_ID);
    case ID::MEDIUM_VELOCITY:
        return new (std::nothrow) QLMVelocityMenuItem(QLMMouseVelocityID::MEDIUM_VELOCITY_ID);
    case ID::HIGH_VELOCITY:
        return new (std::nothrow) QLMVelocityMenuItem(QLMMouseVelocityID::HIGH_VELOCITY_ID);
    }
    DBG_ERROR("Unknown menu item ID.");
}

QLMMenuPage* createPage(std::span<const ID> items, const char* name)
{
    QLMMenuPage* const page = created(new (std::nothrow) QLMMenuPage(), name);
    for (const ID id : items)
        addMenuItem(page, slot(id).item);
    return page;
}

void createMenuPages()
{
    for (int i = 0; i < MENU_ITEM_COUNT; ++i)
    {
        fSlots[i].item = created(createItem(static_cast<ID>(i)), ITEM_NAMES[i].item);
        fMenuItemSet.insert(fSlots[i].item);
    }
    fMainMenuPage = createPage(MAIN_PAGE_ITEMS, "fMainMenuPage");
    fGraphicsMenuPage = createPage(GRAPHICS_PAGE_ITEMS, "fGraphicsMenuPage");
    fSoundMenuPage = createPage(SOUND_PAGE_ITEMS, "fSoundMenuPage");
    fInputMenuPage = createPage(INPUT_PAGE_ITEMS, "fInputMenuPage");
}

ECAMessageAction* createPostAction(int eventID)
{
    return ECA::createMessageAction(ECAMessage(getEvent(eventID)));
}

void buildMenuMachineType()
{
    ECACondition* const always = ECA::tautology();
    ECAAction* const null = ECA::nullAction();

    using namespace QLMEventID;
    fPostMenuOpenedAction = createPostAction(MENU_OPENED_EVENT_ID);
    fPostMenuClosedAction = createPostAction(MENU_CLOSED_EVENT_ID);
    fPostQuitAction = createPostAction(QUIT_EVENT_ID);

    fDrawMainMenuAction = created(new (std::nothrow) QLMDrawMenuPageAction(fMainMenuPage), "fDrawMainMenuAction");
    fDrawGraphicsMenuAction =
        created(new (std::nothrow) QLMDrawMenuPageAction(fGraphicsMenuPage), "fDrawGraphicsMenuAction");
    fDrawSoundMenuAction = created(new (std::nothrow) QLMDrawMenuPageAction(fSoundMenuPage), "fDrawSoundMenuAction");
    fDrawInputMenuAction = created(new (std::nothrow) QLMDrawMenuPageAction(fInputMenuPage), "fDrawInputMenuAction");
    for (int i = 0; i < MENU_ITEM_COUNT; ++i)
    {
        QLMMenuItemSlot& s = fSlots[i];
        s.activate = created(new (std::nothrow) QLMActivateMenuItemAction(s.item), ITEM_NAMES[i].activate);
        s.deactivate = created(new (std::nothrow) QLMDeactivateMenuItemAction(s.item), ITEM_NAMES[i].deactivate);
        if (ITEM_NAMES[i].select)
            s.select = created(new (std::nothrow) QLMSelectMenuItemAction(s.item), ITEM_NAMES[i].select);
    }
    fMenuProcess = created(new (std::nothrow) QLMMenuProcess(), "fMenuProcess");

    ECAEvent* const escape = getEvent(ESCAPE_DOWN_EVENT_ID);
    ECAEvent* const up = getEvent(UP_DOWN_EVENT_ID);
    ECAEvent* const down = getEvent(DOWN_DOWN_EVENT_ID);
    ECAEvent* const enter = getEvent(RETURN_DOWN_EVENT_ID);
    ECAEvent* const draw = getEvent(DRAW_MENU_EVENT_ID);

    fMenuIdleState = ECA::createState(fPostMenuClosedAction, fPostMenuOpenedAction, ECA::nullProcess(), 0.0);
    for (QLMMenuItemSlot& s : fSlots)
        s.state = ECA::createState(s.activate, null, fMenuProcess, 0.0);
    fMenuFinalState = ECA::createState(null, null, ECA::nullProcess(), 0.0);

    std::set<ECAState*> states = {fMenuIdleState, fMenuFinalState};
    std::set<ECAAction*> actions = {null,
                                    fPostMenuOpenedAction,
                                    fPostMenuClosedAction,
                                    fPostQuitAction,
                                    fDrawMainMenuAction,
                                    fDrawGraphicsMenuAction,
                                    fDrawSoundMenuAction,
                                    fDrawInputMenuAction};
    for (const QLMMenuItemSlot& s : fSlots)
    {
        states.insert(s.state);
        actions.insert({s.activate, s.deactivate});
        if (s.select)
            actions.insert(s.select);
    }
    fMenuMachineType = ECA::createMachineType(states, {escape, up, down, enter, draw}, {always}, actions,
                                              fMenuIdleState, fMenuFinalState);

    const auto add = [](ECAState* from, ECAEvent* event, ECAAction* action, ECAState* to)
    { addUnguardedTransition(fMenuMachineType, from, event, action, to); };

    // The menu always opens at GRAPHICS. Up and Down stop at a page's ends; Escape closes the menu from the main
    // page and goes back to a sub-page's main item; Return opens a sub-page, selects a sub-page item, or quits.
    add(fMenuIdleState, escape, null, slot(ID::GRAPHICS).state);
    const struct
    {
        std::span<const ID> items;
        QLMDrawMenuPageAction* draw;
        ECAState* escapeTo;
    } layouts[] = {{MAIN_PAGE_ITEMS, fDrawMainMenuAction, fMenuIdleState},
                   {GRAPHICS_PAGE_ITEMS, fDrawGraphicsMenuAction, slot(ID::GRAPHICS).state},
                   {SOUND_PAGE_ITEMS, fDrawSoundMenuAction, slot(ID::SOUND).state},
                   {INPUT_PAGE_ITEMS, fDrawInputMenuAction, slot(ID::INPUT).state}};
    for (const auto& layout : layouts)
    {
        const std::size_t count = layout.items.size();
        for (std::size_t i = 0; i < count; ++i)
        {
            const ID id = layout.items[i];
            const QLMMenuItemSlot& s = slot(id);
            add(s.state, escape, s.deactivate, layout.escapeTo);
            add(s.state, draw, layout.draw, s.state);
            if (i + 1 < count)
                add(s.state, down, s.deactivate, slot(layout.items[i + 1]).state);
            if (i > 0)
                add(s.state, up, s.deactivate, slot(layout.items[i - 1]).state);
            if (s.select)
                add(s.state, enter, s.select, s.state);
            else if (id == ID::EXIT)
                add(s.state, enter, fPostQuitAction, fMenuFinalState);
            else
                add(s.state, enter, s.deactivate, slot(subPageStart(id)).state);
        }
    }
}

void startMenuMachine()
{
    const QLMMenuMachine prototype(fMenuMachineType);
    ECA::startMachine(prototype);
}

void destroyMenuMachineType()
{
    ECA::destroyMachineType(fMenuMachineType);
    fMenuMachineType = nullptr;
    ECA::destroyState(fMenuIdleState);
    ECA::destroyState(fMenuFinalState);
    fMenuIdleState = fMenuFinalState = nullptr;
    for (QLMMenuItemSlot& s : fSlots)
    {
        ECA::destroyState(s.state);
        s.state = nullptr;
    }
    delete fMenuProcess;
    fMenuProcess = nullptr;
    for (ECAMessageAction** const action : {&fPostMenuOpenedAction, &fPostMenuClosedAction, &fPostQuitAction})
    {
        ECA::destroyMessageAction(*action);
        *action = nullptr;
    }
    for (QLMDrawMenuPageAction** const action :
         {&fDrawMainMenuAction, &fDrawGraphicsMenuAction, &fDrawSoundMenuAction, &fDrawInputMenuAction})
    {
        delete *action;
        *action = nullptr;
    }
    for (QLMMenuItemSlot& s : fSlots)
    {
        delete s.activate;
        delete s.deactivate;
        delete s.select;
        s.activate = nullptr;
        s.deactivate = nullptr;
        s.select = nullptr;
    }
}

void destroyMenuPages()
{
    for (QLMMenuItemSlot& s : fSlots)
    {
        delete s.item;
        s.item = nullptr;
    }
    fMenuItemSet.clear();
    for (QLMMenuPage** const page : {&fMainMenuPage, &fGraphicsMenuPage, &fSoundMenuPage, &fInputMenuPage})
    {
        delete *page;
        *page = nullptr;
    }
}

} // namespace

// Items -----------------------------------------------------------------------------------------------------------

QLMMenuItem::QLMMenuItem(const std::string& text)
    : fScaling(nullptr), fTranslation(nullptr), fLabel(nullptr), fScale(1.0f), fTargetScale(1.0f), fColor(0),
      fActive(false)
{
    EGL* const egl = graphicsLibrary();
    fScaling = createScalingTransform(egl, {1.0f, 1.0f});
    fTranslation = createTranslationTransform(egl, {0.0f, 0.0f});
    fLabel = createLabel(egl, getFont(QLMFontID::LARGE_FONT_ID), egl->blendingMethod(EGL::ALPHA_BLENDING), text, 0.5f,
                         1.0f, ITEM_COLOR);
    DBG_ASSERT(invariant());
}

QLMMenuItem::~QLMMenuItem() noexcept(false)
{
    DBG_ASSERT(invariant());
    destroyLabel(fLabel);
    EGL* const egl = graphicsLibrary();
    egl->destroy(fTranslation);
    egl->destroy(fScaling);
}

void QLMMenuItem::activate()
{
    if (fActive)
        return;
    setItemColor(this, ACTIVE_ITEM_COLOR);
    fTargetScale = ACTIVE_SCALE;
    fActive = true;
    playSound(QLMSampleID::ACTIVATE_MENU_ITEM_SAMPLE_ID);
}

void QLMMenuItem::deactivate()
{
    setItemColor(this, ITEM_COLOR);
    fActive = false;
    fTargetScale = 1.0f;
}

void QLMMenuItem::ease()
{
    fScale += (fTargetScale - fScale) * EASING;
}

void QLMMenuItem::draw(float y)
{
    EGL* const egl = graphicsLibrary();
    changeScaling(egl, fScaling, {fScale, fScale});
    changeTranslation(egl, fTranslation, {0.0f, y});
    egl->pushTransform(fScaling);
    egl->pushTransform(fTranslation);
    fLabel->drawLabel();
    egl->popTransform();
    egl->popTransform();
}

float QLMMenuItem::height() const
{
    return fLabel->labelHeight() * fScale;
}

bool QLMMenuItem::invariant() const
{
    return fScaling && fTranslation && fLabel && fScale > 0.0f && fTargetScale > 0.0f;
}

void QLMMenuItem::setText(const std::string& text)
{
    fLabel->setText(text);
}

void setItemColor(QLMMenuItem* item, std::uint32_t color)
{
    if (color == item->fColor)
        return;
    item->fLabel->setColor(color);
    item->fColor = color;
}

void QLMExitMenuItem::chosen()
{
    postEvent(QLMEventID::QUIT_EVENT_ID);
}

QLMResolutionMenuItem::QLMResolutionMenuItem(int deviceID) : QLMMenuItem("RESOLUTION"), fDeviceID(deviceID)
{
    switch (fDeviceID)
    {
    case QLMDevices::SCREEN_640X480_DEVICE_ID:
        setText("LOW RESOLUTION");
        break;
    case QLMDevices::SCREEN_800X600_DEVICE_ID:
        setText("MEDIUM RESOLUTION");
        break;
    case QLMDevices::SCREEN_1024X768_DEVICE_ID:
        setText("HIGH RESOLUTION");
        break;
    default:
        DBG_ERROR("Unknoen device ID.");
    }
}

void QLMResolutionMenuItem::chosen()
{
    changeGraphicsDevice(fDeviceID);
}

void QLMSamplesMenuItem::chosen()
{
    setText(toggleSoundEffects() ? "SOUND EFFECTS (ON)" : "SOUND EFFECTS (OFF)");
}

void QLMMusicMenuItem::chosen()
{
    setText(toggleMusic() ? "MUSIC (ON)" : "MUSIC (OFF)");
}

QLMVelocityMenuItem::QLMVelocityMenuItem(int velocityID) : QLMMenuItem("SENSITIVITY"), fVelocityID(velocityID)
{
    switch (fVelocityID)
    {
    case QLMMouseVelocityID::LOW_VELOCITY_ID:
        setText("LOW SENSITIVITY");
        break;
    case QLMMouseVelocityID::MEDIUM_VELOCITY_ID:
        setText("MEDIUM SENSITIVITY");
        break;
    case QLMMouseVelocityID::HIGH_VELOCITY_ID:
        setText("HIGH SENSITIVITY");
        break;
    default:
        DBG_ERROR("Unknoen velocity.");
    }
}

void QLMVelocityMenuItem::chosen()
{
    setMouseVelocity(fVelocityID);
}

// Pages and the module --------------------------------------------------------------------------------------------

void addMenuItem(QLMMenuPage* page, QLMMenuItem* menuItem)
{
    DBG_ASSERT(menuItem);
    page->push_back(menuItem);
}

void initializeMenu()
{
    createMenuPages();
    buildMenuMachineType();
    startMenuMachine();
}

void shutdownMenu()
{
    destroyMenuMachineType();
    destroyMenuPages();
}

const QLMMenuItem& menuItem(QLMMenuItemID id)
{
    return *slot(id).item;
}
