#include "PreviewTicks.h"

namespace lumo::app {

std::optional<int> ChangeTimerTick(const EditorControls& controls, int n, int& oneByOneIndex, Random& random)
{
    if (n <= 0)
        return std::nullopt;
    if (controls.rnd())
        return static_cast<int>(random.next(static_cast<std::uint32_t>(n)));
    if (controls.one()) {
        ++oneByOneIndex;
        if (oneByOneIndex > n - 1)
            oneByOneIndex = 0;
        return oneByOneIndex;
    }
    return std::nullopt;
}

} // namespace lumo::app
