// The main window's change timer: at each tick over the whole playlist (checked or not), "Random"
// previews row random(n) and "One by one" the row after the one shown last, back to 0 past the end;
// "Play only first selected file" (or no mode) changes nothing.
#pragma once

#include "EditorControls.h"

#include "common/Random.h"

#include <optional>

namespace lumo::app {

// The row to preview at this tick of a list of n rows; oneByOneIndex is the main window's.
std::optional<int> ChangeTimerTick(const EditorControls& controls, int n, int& oneByOneIndex, Random& random);

} // namespace lumo::app
