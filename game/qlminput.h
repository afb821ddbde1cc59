#pragma once
// The input module: opens the mouse and the keyboard of the input library and lends the mouse out through a few
// plain functions; owns the typed-character buffer that the name entry reads. Keys reach the game as events
// through the key listener (qlmevent), not through the keyboard opened here.
//
// Depends on: platform/egc.h (the input library and the window), platform/sil.h.

#include "foundation/handlers.h"
#include "platform/sil.h"

#include <cstdint>
#include <string>

/// Mouse sensitivities, by ID.
namespace QLMMouseVelocityID
{
constexpr int LOW_VELOCITY_ID = 1;    // (2, -2)
constexpr int MEDIUM_VELOCITY_ID = 2; // (4, -4), given when the mouse is opened
constexpr int HIGH_VELOCITY_ID = 3;   // (6, -6)
} // namespace QLMMouseVelocityID

/// Collects the characters the player types: one text of at most 20 characters, " " until first changed.
class QLMCharacterBuffer final : public EGCDefaultMessageHandler
{
public:
    /// Appends a character from 32 to 128 while the text is shorter than 20 and answers true; else false.
    bool onCharacter(EGCWindow& window, std::uint32_t character) override;
    /// Backspace (code 2) removes the last character, if any, and answers true; every other code answers false.
    bool onKeyDown(EGCWindow& window, int keyCode) override;

    std::string& text() { return fText; }

private:
    std::string fText = " ";
};

/// Opens the mouse (foreground exclusive, at (0, 0), velocity 2) and the keyboard (foreground non-exclusive),
/// and adds the character buffer to the window's handlers.
void initializeInput();
/// Removes the character buffer from the window's handlers, closes the keyboard, then the mouse.
void shutdownInput();
bool mouseIsOpen();
bool keyboardIsOpen();

/// Whether the button (1 left, 2 middle, 3 right) was down at the last input poll.
bool isMouseButtonDown(int button);
/// The pointer's accumulated position, view-space units.
SILVector mousePosition();
/// Sets the pointer's accumulated position, view-space units.
void setMousePosition(const SILVector& position);
/// Sets the sensitivity by QLMMouseVelocityID; another ID throws "Unknown mouse velocity.".
void setMouseVelocity(int velocityID);

/// The text of the typed-character buffer (created on first use, kept until program exit).
std::string& characterBuffer();
/// Empties the text of the typed-character buffer.
void resetCharacterBuffer();
/// The one typed-character buffer, created on first use and kept until program exit.
QLMCharacterBuffer& characterBufferHandler();
