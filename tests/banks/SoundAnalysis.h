#pragma once
// Measurements on a stereo render, in the terms the factory banks are held to: loudness as the
// RMS of the loudest 300 ms window, peak, DC offset, how soon the sound starts and how soon after
// the note-off it has died away.

#include <cstddef>
#include <vector>

namespace banktest {

struct StereoRender {
    double sampleRate = 44100.0;
    std::vector<float> left;
    std::vector<float> right;
    std::size_t Frames() const { return left.size() < right.size() ? left.size() : right.size(); }
};

// RMS of both channels together over the loudest window of windowSeconds, moved in steps of
// stepSeconds, among the windows that lie inside [0, withinSeconds). 0 for a render too short for
// one window.
double LoudestWindowRms(const StereoRender& render, double withinSeconds, double windowSeconds,
                        double stepSeconds);

// Largest |sample| of either channel over frames [begin, end).
double Peak(const StereoRender& render, std::size_t begin, std::size_t end);

// The larger of |mean| / RMS of the two channels over frames [begin, end); 0 for a silent channel.
double DcRatio(const StereoRender& render, std::size_t begin, std::size_t end);

// Milliseconds from the start until either channel first reaches fraction x the peak of the whole
// render; negative when the render is silent.
double OnsetMs(const StereoRender& render, double fraction);

// Milliseconds after fromFrame at which both channels have fallen below threshold for good (0 when
// they are below it from fromFrame on); negative when the render still holds such a sample in its
// last frame, so the end was not seen.
double FadeOutMs(const StereoRender& render, std::size_t fromFrame, double threshold);

double ToDecibels(double linear);

} // namespace banktest
