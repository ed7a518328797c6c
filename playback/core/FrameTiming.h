// The recorded movie's frames come at the times the page showed them: a movie frame is due every
// 1/fps s, and the page shows it at its next screen refresh, up to a refresh late. Put on a grid of
// 1/fps s as they are, frames whose lateness straddles a slot's middle collide in one slot and leave
// the next empty (half the frames lost, in a run of bad luck). Shifted by the offset that puts the
// most frames into slots of their own, each movie frame gets its slot.
#pragma once

#include <vector>

namespace lumo::playback {

// Seconds to take from every frame time before rounding to the grid of 1/fps s; in [0, 1/fps).
double bestFrameOffset(const std::vector<double>& times, int fps);

} // namespace lumo::playback
