#pragma once
// The first hall of fame: "highscores.txt" as the game reads it, ten records of a name line and a score line.

#include <string>

namespace datagen
{

/// The file's text: ten invented names, scores descending, every line ending with a line end.
std::string firstHighScoreTable();

/// Writes the first table to the file unless a file of that name exists (a player's table is never
/// overwritten). True when it wrote the file; a file that cannot be written throws "High-score file could not
/// be written.".
bool writeHighScoresIfMissing(const std::string& fileName);

} // namespace datagen
