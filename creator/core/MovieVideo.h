// The video a screensaver carries beside each Flash movie, for a Windows without the Flash
// control: how a movie is recorded (its plan, from the movie's header and the length the user
// chose) and the recorder that does it.
#pragma once

#include "formats/SwfHeader.h"
#include "platform/Result.h"

#include <functional>
#include <string>

namespace lumo::creator {

inline constexpr int kDefaultVideoSeconds = 30;
inline constexpr int kMaxVideoSeconds = 600;
inline constexpr int kMaxVideoWidth = 1280;
inline constexpr int kMaxVideoHeight = 720;
inline constexpr int kMaxVideoFps = 30;

struct RecordingPlan {
    int width = 0, height = 0; // even, within kMaxVideoWidth x kMaxVideoHeight, the movie's aspect kept
    int fps = 0;
    double seconds = 0;
    bool wholeTimeline = false; // the length is the movie's loop rather than the user's
};

// One loop of the timeline when it has more than one frame and fits in chosenSeconds (whole loops
// up to a second or more, so a very short loop does not restart the video many times a second);
// otherwise chosenSeconds.
RecordingPlan planRecording(const formats::SwfHeader& header, int chosenSeconds);

struct RecordingEvents {
    std::function<void(double secondsRecorded)> recorded;
    std::function<void()> idle; // called often, so a window stays alive while a movie records
    std::function<bool()> cancelled; // asked often; true stops the recording
};

class MovieRecorder {
public:
    virtual ~MovieRecorder() = default;
    // Writes video from movie; an error says why not ("Cancelled" when the events cancelled it).
    virtual Status record(const std::string& movie, const std::string& video, const RecordingPlan& plan,
                          const RecordingEvents& events)
        = 0;
};

inline const char* const kCancelled = "Cancelled";

} // namespace lumo::creator
