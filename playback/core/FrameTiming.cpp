#include "FrameTiming.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace lumo::playback {

namespace {

constexpr int kSteps = 48; // offsets tried in one slot: under a millisecond apart at 24 fps

} // namespace

double bestFrameOffset(const std::vector<double>& times, int fps)
{
    if (fps <= 0 || times.empty())
        return 0;
    const double slot = 1.0 / fps;
    std::vector<size_t> slotsUsed(kSteps);
    for (int step = 0; step < kSteps; ++step) {
        std::set<long long> slots;
        for (const double time : times)
            slots.insert(std::llround((time - slot * step / kSteps) * fps));
        slotsUsed[step] = slots.size();
    }
    // The middle of the longest run of best offsets (the run may wrap round the slot): frames a
    // little earlier or later than these still keep their slots.
    const size_t most = *std::max_element(slotsUsed.begin(), slotsUsed.end());
    int bestStart = 0, bestLength = 0;
    for (int start = 0; start < kSteps; ++start) {
        if (slotsUsed[start] != most || slotsUsed[(start + kSteps - 1) % kSteps] == most)
            continue; // not where a run begins
        int length = 0;
        while (length < kSteps && slotsUsed[(start + length) % kSteps] == most)
            ++length;
        if (length > bestLength) {
            bestLength = length;
            bestStart = start;
        }
    }
    if (bestLength == 0) // every offset is as good
        return 0;
    return slot * ((bestStart + bestLength / 2) % kSteps) / kSteps;
}

} // namespace lumo::playback
