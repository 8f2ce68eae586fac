// Module3: the time texts and file-type tests that the play paths share.
#pragma once

#include <string>

// A duration in seconds, rounded to the nearest second (a half to the even neighbour), as whole
// minutes without leading zeros, ":" and two-digit seconds: 3:07, 62:05.
std::string DurationText(double seconds);

// A position in seconds as minutes and seconds of at least two digits each: 02:05, 100:00; a
// position of -1 second shows 00:00.
std::string ElapsedText(double seconds);

// The last four characters of the name are ".DAT", in any case.
bool IsDatFile(const std::string& fileName);

// The name ends in ".AVI", ".MPEG", ".MPG" or ".DAT", in any case.
bool IsVideoFile(const std::string& fileName);

// The previous and next track buttons (step -1 or +1) of the main window and the remote: with
// fewer than two playlist entries nothing happens and the result is false. Otherwise, every error
// ignored, the title list's index moves by `step` (no wrap: from the first entry previous leaves
// no entry selected, and the list refuses an index past its end), the main window's title shows
// the current title uncut, and the player plays the path the path list now holds selected.
bool StepTrack(int step);
