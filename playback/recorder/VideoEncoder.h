// Turns a recording (WebM from the movie view) into the video the produced screensaver plays where
// Windows has no Flash control: Motion-JPEG with PCM sound in AVI, which DirectShow plays with its
// own AVI splitter and MJPEG decoder on every edition of Windows 10 and 11. Debian's ffmpeg program
// does the work; a recording without sound gets no sound track, and one that stayed black is no
// video at all.
#pragma once

#include <QString>

namespace lumo::playback {

struct VideoFormat {
    int width = 0, height = 0; // even
    int fps = 0;
    double seconds = 0;
};

// Motion-JPEG's quantiser: a 550 × 400, 24 fps movie comes to about 30 MB a minute.
inline constexpr int kVideoQuality = 5;
inline constexpr int kSoundRate = 22050;

// Writes avi (through a temporary file beside it) from webm; an error says why not.
QString encodeVideo(const QString& webm, const QString& avi, const VideoFormat& format);

} // namespace lumo::playback
