// The conversion's picture and sound paths on FFmpeg's filter library: one
// graph each, made for the decoded input's parameters and made anew by the
// converter when they change.
//
//   pictures: buffer -> (yadif) -> (transpose / hflip / vflip) -> (crop) ->
//             scale -> pad -> setsar -> fps -> (setfield) -> buffersink
//   sound:    abuffer -> aresample (async, first_pts) -> aformat -> abuffersink
//
// Frames go in with times counted from the clip's start and come out one by
// one when pulled, so that the caller can stop between any two of them.
#pragma once

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/rational.h>
}

#include <string>

#include "standins/convctl/media_convert.h"

struct AVFilterGraph;
struct AVFilterContext;

namespace convctl {

// Results of Pull besides 0 (a frame).
enum { kGraphNeedsInput = 1, kGraphEnded = 2 };

// A built graph with one source and one sink.
class FilterGraph {
public:
  FilterGraph() = default;
  ~FilterGraph() { Free(); }
  FilterGraph(const FilterGraph&) = delete;
  FilterGraph& operator=(const FilterGraph&) = delete;

  bool Built() const { return graph_ != nullptr; }
  // A frame in (not kept: the graph takes its own reference).
  bool Push(AVFrame* frame);
  // No more frames; the last lasts until endPts (the source's time base).
  bool Close(int64_t endPts);
  // 0 with a frame, kGraphNeedsInput, kGraphEnded, or a negative error.
  int Pull(AVFrame* frame);
  // The time base of the frames pulled.
  AVRational OutputTimeBase() const;

protected:
  // Builds "<source> -> chain -> <sink>"; the error text says why not.
  bool Build(const char* sourceName, const std::string& sourceArgs, const char* sinkName,
             const std::string& chain, std::string* error);
  void Free();

private:
  AVFilterGraph* graph_ = nullptr;
  AVFilterContext* source_ = nullptr;
  AVFilterContext* sink_ = nullptr;
};

// How the decoded pictures are laid out, as far as the path cares.
struct PictureInput {
  int width = 0, height = 0;
  int format = -1;                // AVPixelFormat
  AVRational sampleAspect{1, 1};
  AVRational timeBase{1, 90000};  // of the pts pushed
  bool interlaced = false;
  bool topFieldFirst = true;
  double frameRate = 0;           // the source's, 0 when unknown
  int rotation = 0;               // clockwise degrees the display turns the picture: 0, 90, 180, 270
  bool mirrored = false;          // the display mirrors it left to right (before turning it)
  bool operator==(const PictureInput& o) const {
    return width == o.width && height == o.height && format == o.format &&
           av_cmp_q(sampleAspect, o.sampleAspect) == 0;
  }
};

class PictureGraph : public FilterGraph {
public:
  // The graph for pictures of this input, whose first output picture is at
  // startSeconds of the clip. Interlaced pictures stay interlaced when
  // mayKeepFields and the target keeps their lines and field rate; else they
  // are deinterlaced before scaling.
  bool Build(const PictureInput& input, const TargetFormat& target, double startSeconds, bool mayKeepFields,
             std::string* error);
  bool KeepsFields() const { return keepsFields_; }
  bool TopFieldFirst() const { return topFieldFirst_; }

private:
  bool keepsFields_ = false;
  bool topFieldFirst_ = true;
};

// How the decoded sound is laid out.
struct SoundInput {
  int sampleRate = 0;
  int format = -1;  // AVSampleFormat
  AVChannelLayout layout{};
  bool operator==(const SoundInput& o) const {
    return sampleRate == o.sampleRate && format == o.format && av_channel_layout_compare(&layout, &o.layout) == 0;
  }
};

class SoundGraph : public FilterGraph {
public:
  // Sound of this input (pts in 1/its rate, from the clip's start) into
  // stereo at the target's rate and the encoder's sample format; firstSample
  // is where the graph's first output belongs (in the input's samples), so
  // that sound before it is trimmed and a gap after it filled.
  bool Build(const SoundInput& input, int outputRate, int outputFormat, int64_t firstSample, std::string* error);
};

}  // namespace convctl
