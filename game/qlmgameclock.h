#pragma once
// The game clock: turns the engine clock's frame times into the game's time and time step, so the game advances
// by a running mean of the last 60 frame times, each capped at 0.1 s. It stands still while nobody ticks it.

/// Restarts the clock for a new game: the next frame time is measured from now; game time and step are 0 and
/// the window of frame times is empty.
void resetGameClock();
/// Ends a game tick: appends the frame time since the last reading (at most 0.1 s) to the window of at most 60,
/// takes its mean as the time step and adds the step to the game time.
void updateGameClock();
/// Seconds of game time.
double gameTime();
/// Seconds; the step of the current tick.
double gameTimeStep();
