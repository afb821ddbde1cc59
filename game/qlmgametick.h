#pragma once
// The game's per-frame step and its rules of play: the aim follows the mouse, the physics advances in sub-steps
// of 0.01 s, every contact it reports becomes sounds, explosions, splits, points and shield changes, bullets hit
// pills for their effects, and the gun fires. The game's state machine calls these from its actions.
//
// Contact handlers run while the physics system is locked: bodies they create (split halves) join at once,
// bodies they kill stay in the system until the removal passes after the tick.

#include <cstdint>
#include <string>

class QLMBody;
class QLMBullet;
class QLMPill;
class QLMSplod;

/// Creates and destroys the "Tick game" timer.
void openTickTimer();
void closeTickTimer();

/// Game time (seconds) from which the gun may reload; firing sets it to the firing time + 0.4.
double reloadDeadline();
void setReloadDeadline(double deadline);

/// One game step: score display, aim, laser, physics and contacts, labels, gravity, explosions, shield, pills,
/// bullets, clip, splods, then the game clock.
void tickGame();
/// Fires the front shell towards the pointer at 1000 units per second.
void fireGun();
/// The "Get ready" label: 3 s, posting events 20 and 21.
void showGetReady();
/// The "Game over" label: 3 s, posting events 23 and 24.
void showGameOver();

/// One collision pair of solid bodies, in the physics system's order; nothing when either is dead. The shield
/// or an unknown object ID throws an Error.
void handleCollision(QLMBody* first, QLMBody* second);
/// One overlap pair, which must hold the shield once; nothing when either is dead. Other pairs throw an Error.
void handleOverlap(QLMBody* first, QLMBody* second);
/// The effect of the pill's effect ID 1 to 64; another ID throws the Error "Unknown effect ID.".
void applyPillEffect(QLMPill* pill, QLMBullet* bullet);
/// An explosion of the body's position, velocity, radius, size and colour, growing 200 units per second for 1 s.
void explodeBody(const QLMBody* body);
/// A bullet of the splod's colour hit it: it splits, explodes, dies and scores.
void hitSplod(QLMSplod* splod);
/// hitSplod for every living splod of the list as it stands; the halves the splits add survive.
void burstAllSplods();
/// Adds the points to the score and shows them in a label drifting with the body.
void awardPoints(const QLMBody* body, int points);
/// 100, 500, 1000 for sizes 1, 2, 3; another size throws the Error "Unknown size ID.".
int splodPoints(const QLMSplod* splod);
/// The points as "%d" prints them.
std::string pointsText(int points);
/// Half-transparent red for points below 1, half-transparent green otherwise.
std::uint32_t pointsColor(int points);
/// Whether the two velocities are apart by at least pi/4; near-parallel grazes and resting contacts are silent.
bool isAudibleBounce(const QLMBody* first, const QLMBody* second);
