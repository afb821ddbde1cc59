#pragma once
// The menu: an overlay that Escape opens over whatever screen is showing. One page at a time, a centred column of
// large green words; the active item is brighter and grows. The main page offers GRAPHICS, SOUND, INPUT and EXIT;
// the sub-pages set the resolution, switch sound effects and music, and set the mouse sensitivity. EXIT ends the
// program. Leaving the closed state posts event 9 and entering it posts event 10 (the game pauses and resumes).
//
// It runs as an ECA machine driven by the key-down events of Escape (34), Up (41), Down (43) and Return (30) and by
// the menu draw event 8. The settings live in the sound, input and graphics modules; the menu keeps none.
//
// Depends on: qlmevent, qlmgraphics, qlminput, qlmsound.

#include <cstdint>
#include <string>
#include <vector>

class EGLLabel;
class EGLTransform;

/// The menu's items, in the order they are made; each has an item state of its own.
enum class QLMMenuItemID
{
    GRAPHICS,
    SOUND,
    INPUT,
    EXIT,
    LORES,
    MERES,
    HIRES,
    SAMPLES,
    MUSIC,
    LOW_VELOCITY,
    MEDIUM_VELOCITY,
    HIGH_VELOCITY,
};
constexpr int MENU_ITEM_COUNT = 12;

/// One word of a page: a label in large green letters under a scaling and a translation.
class QLMMenuItem
{
public:
    explicit QLMMenuItem(const std::string& text);
    QLMMenuItem(const QLMMenuItem&) = delete;
    QLMMenuItem& operator=(const QLMMenuItem&) = delete;
    virtual ~QLMMenuItem() noexcept(false);
    /// What Return on the item does; the base does nothing.
    virtual void chosen() {}

    /// Bright and growing to 1.5 (sample 12), unless already active.
    void activate();
    /// Back to green and to size 1.
    void deactivate();
    /// One step of the size towards its target: a tenth of the way.
    void ease();
    /// Draws the label at (0, y) in its current size; inside a scene.
    void draw(float y);

    const EGLLabel* label() const { return fLabel; }
    /// The label's height at the current size, space units.
    float height() const;
    float scale() const { return fScale; }
    float targetScale() const { return fTargetScale; }
    bool isActive() const { return fActive; }

    bool invariant() const;

protected:
    void setText(const std::string& text);

private:
    friend void setItemColor(QLMMenuItem* item, std::uint32_t color);

    EGLTransform* fScaling;
    EGLTransform* fTranslation;
    EGLLabel* fLabel;
    float fScale;
    float fTargetScale;
    std::uint32_t fColor;
    bool fActive;
};

class QLMGraphicsMenuItem final : public QLMMenuItem
{
public:
    QLMGraphicsMenuItem() : QLMMenuItem("GRAPHICS") {}
};

class QLMSoundMenuItem final : public QLMMenuItem
{
public:
    QLMSoundMenuItem() : QLMMenuItem("SOUND") {}
};

class QLMInputMenuItem final : public QLMMenuItem
{
public:
    QLMInputMenuItem() : QLMMenuItem("INPUT") {}
};

/// Chosen, posts the quit event 3 to every machine.
class QLMExitMenuItem final : public QLMMenuItem
{
public:
    QLMExitMenuItem() : QLMMenuItem("EXIT") {}
    void chosen() override;
};

/// Chosen, changes to the display device of its ID: 2 low, 3 medium, 4 high; another ID throws the Error
/// "Unknoen device ID.".
class QLMResolutionMenuItem final : public QLMMenuItem
{
public:
    explicit QLMResolutionMenuItem(int deviceID);
    void chosen() override;

private:
    int fDeviceID;
};

/// Chosen, switches sound effects and shows the new setting: "SOUND EFFECTS (ON)" or "SOUND EFFECTS (OFF)".
class QLMSamplesMenuItem final : public QLMMenuItem
{
public:
    QLMSamplesMenuItem() : QLMMenuItem("SOUND EFFECTS (ON)") {}
    void chosen() override;
};

/// Chosen, switches music and shows the new setting: "MUSIC (ON)" or "MUSIC (OFF)".
class QLMMusicMenuItem final : public QLMMenuItem
{
public:
    QLMMusicMenuItem() : QLMMenuItem("MUSIC (ON)") {}
    void chosen() override;
};

/// Chosen, sets the mouse sensitivity of its ID: 1 low, 2 medium, 3 high; another ID throws the Error
/// "Unknoen velocity.".
class QLMVelocityMenuItem final : public QLMMenuItem
{
public:
    explicit QLMVelocityMenuItem(int velocityID);
    void chosen() override;

private:
    int fVelocityID;
};

/// Sets the label's colour (ARGB) when it differs from the item's.
void setItemColor(QLMMenuItem* item, std::uint32_t color);

/// The items of one page, in order; the page does not own them.
using QLMMenuPage = std::vector<QLMMenuItem*>;

/// Appends the item to the page; a null item fails the check "menuItem".
void addMenuItem(QLMMenuPage* page, QLMMenuItem* menuItem);

/// Makes the items and pages, builds the machine type and starts the machine (closed; posts event 10).
void initializeMenu();
/// Destroys the machine type and its parts, then the items and pages. The machine must have ended.
void shutdownMenu();

/// The item of the ID, owned by this module.
const QLMMenuItem& menuItem(QLMMenuItemID id);
