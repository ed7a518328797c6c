#include "MovieVideo.h"

#include "common/PathRules.h"
#include "common/Text.h"

#include <algorithm>
#include <cmath>

namespace lumo::creator {

namespace {

// Flash's own default stage, for a header whose frame says nothing usable.
constexpr int kStageWidth = 550;
constexpr int kStageHeight = 400;
constexpr int kDefaultFps = 24;
// A loop shorter than this is recorded as many times as it takes to reach it.
constexpr double kShortestVideo = 1.0;

int evenDown(double value)
{
    return std::max(2, int(value) & ~1);
}

} // namespace

RecordingPlan planRecording(const formats::SwfHeader& header, int chosenSeconds)
{
    RecordingPlan plan;
    double width = header.width(), height = header.height();
    if (width < 1 || height < 1) {
        width = kStageWidth;
        height = kStageHeight;
    }
    const double fit = std::min({1.0, kMaxVideoWidth / width, kMaxVideoHeight / height});
    plan.width = evenDown(width * fit);
    plan.height = evenDown(height * fit);
    plan.fps = header.frameRate > 0 ? std::clamp(int(std::lround(header.frameRate)), 1, kMaxVideoFps) : kDefaultFps;

    const double chosen = std::clamp(chosenSeconds, 1, kMaxVideoSeconds);
    const double loop = header.frameCount > 1 ? header.seconds() : 0;
    if (loop > 0 && loop <= chosen) {
        plan.seconds = loop * std::max(1.0, std::ceil(kShortestVideo / loop));
        plan.seconds = std::min(plan.seconds, chosen);
        plan.wholeTimeline = true;
    } else {
        plan.seconds = chosen;
    }
    return plan;
}

} // namespace lumo::creator
