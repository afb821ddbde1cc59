#pragma once
// The coordinator: the top-level machine that decides which screen is active (intro, hall of fame, name entry,
// game) by posting the screens' entry and exit events. It also echoes the typed-character buffer onto the debug
// text lines. Opened last and closed first.
//
// Depends on: foundation/eca.h, qlmevent (event IDs), qlminput (the typed-character buffer), qlmscore (the
// isHighscore condition), platform/egc.h (the window its handler joins).

#include "foundation/handlers.h"

#include <cstdint>

/// Echoes the typed-character buffer onto the debug text lines on every typed character.
class QLMCoordinatorHandler final : public EGCDefaultMessageHandler
{
public:
    /// Pushes "Character buffer: <text>" and answers false, so that the other handlers see the character too.
    bool onCharacter(EGCWindow& window, std::uint32_t character) override;
};

/// Adds the handler to the window, builds the coordinator's machine type and starts its machine in the intro.
void initializeCoordinator();
/// Destroys the machine type and its parts and removes the handler from the window.
void shutdownCoordinator();
bool isInitialized();
