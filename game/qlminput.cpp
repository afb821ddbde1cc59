#include "game/qlminput.h"

#include "foundation/dbg.h"
#include "platform/egc.h"

#include <cstddef>
#include <cstdint>

namespace
{

const SILVector MOUSE_START_POSITION(0.0f, 0.0f); // the centre of the view space
// The negative y factors turn the screen's downward y into the view space's upward y.
const SILVector VELOCITIES[] = {SILVector(2.0f, -2.0f), SILVector(4.0f, -4.0f), SILVector(6.0f, -6.0f)};

// Characters from 32 to 128 are kept, at most 20 of them.
constexpr unsigned int MIN_CHARACTER = 32;
constexpr unsigned int MAX_CHARACTER = 128;
constexpr std::size_t MAX_CHARACTER_COUNT = 20;
constexpr int BACKSPACE_KEY_CODE = 2;

SILMouse* fMouse = nullptr;
SILKeyboard* fKeyboard = nullptr;

SILMouse& openedMouse()
{
    DBG_ASSERT(mouseIsOpen());
    return *fMouse;
}

const SILVector& velocity(int velocityID)
{
    DBG_CHECK((QLMMouseVelocityID::LOW_VELOCITY_ID <= velocityID) &&
                  (velocityID <= QLMMouseVelocityID::HIGH_VELOCITY_ID),
              "Unknown mouse velocity.");
    return VELOCITIES[velocityID - QLMMouseVelocityID::LOW_VELOCITY_ID];
}

} // namespace

bool QLMCharacterBuffer::onCharacter(EGCWindow&, std::uint32_t character)
{
    const unsigned int byte = static_cast<unsigned char>(character);
    if ((byte < MIN_CHARACTER) || (MAX_CHARACTER < byte) || (MAX_CHARACTER_COUNT <= fText.size()))
        return false;
    fText.push_back(static_cast<char>(byte));
    return true;
}

bool QLMCharacterBuffer::onKeyDown(EGCWindow&, int keyCode)
{
    if (keyCode != BACKSPACE_KEY_CODE)
        return false;
    if (!fText.empty())
        fText.pop_back();
    return true;
}

void initializeInput()
{
    DBG_ASSERT(!mouseIsOpen());
    fMouse = inputLibrary()->openMouse(FOREGROUND_EXCLUSIVE_MODE, MOUSE_START_POSITION,
                                       velocity(QLMMouseVelocityID::MEDIUM_VELOCITY_ID));
    DBG_ASSERT(mouseIsOpen());
    DBG_ASSERT(!keyboardIsOpen());
    fKeyboard = inputLibrary()->openKeyboard(FOREGROUND_NONEXCLUSIVE_MODE);
    DBG_ASSERT(keyboardIsOpen());
    window()->addMessageHandler(&characterBufferHandler());
}

void shutdownInput()
{
    window()->removeMessageHandler(&characterBufferHandler());
    DBG_ASSERT(keyboardIsOpen());
    inputLibrary()->closeKeyboard(fKeyboard);
    fKeyboard = nullptr;
    DBG_ASSERT(mouseIsOpen());
    inputLibrary()->closeMouse(fMouse);
    fMouse = nullptr;
}

bool mouseIsOpen()
{
    return fMouse != nullptr;
}

bool keyboardIsOpen()
{
    return fKeyboard != nullptr;
}

bool isMouseButtonDown(int button)
{
    return openedMouse().isButtonDown(button);
}

SILVector mousePosition()
{
    return openedMouse().position();
}

void setMousePosition(const SILVector& position)
{
    openedMouse().setPosition(position);
}

void setMouseVelocity(int velocityID)
{
    const SILVector& chosen = velocity(velocityID);
    openedMouse().setVelocity(chosen);
}

std::string& characterBuffer()
{
    return characterBufferHandler().text();
}

void resetCharacterBuffer()
{
    characterBuffer().clear();
}

QLMCharacterBuffer& characterBufferHandler()
{
    static QLMCharacterBuffer buffer;
    return buffer;
}
