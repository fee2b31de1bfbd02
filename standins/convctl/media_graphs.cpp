#include "standins/convctl/media_graphs.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace convctl {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

}  // namespace

void FilterGraph::Free() {
  avfilter_graph_free(&graph_);
  source_ = sink_ = nullptr;
}

bool FilterGraph::Build(const char* sourceName, const std::string& sourceArgs, const char* sinkName,
                        const std::string& chain, std::string* error) {
  Free();
  graph_ = avfilter_graph_alloc();
  if (graph_ == nullptr) {
    *error = "out of memory";
    return false;
  }
  // One thread: the encoder uses the machine, and a graph per frame is cheap.
  graph_->nb_threads = 1;
  AVFilterInOut* outputs = avfilter_inout_alloc();
  AVFilterInOut* inputs = avfilter_inout_alloc();
  int result = outputs != nullptr && inputs != nullptr ? 0 : AVERROR(ENOMEM);
  if (result >= 0)
    result = avfilter_graph_create_filter(&source_, avfilter_get_by_name(sourceName), "in", sourceArgs.c_str(),
                                          nullptr, graph_);
  if (result >= 0)
    result = avfilter_graph_create_filter(&sink_, avfilter_get_by_name(sinkName), "out", nullptr, nullptr, graph_);
  if (result >= 0) {
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source_;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink_;
    result = avfilter_graph_parse_ptr(graph_, chain.c_str(), &inputs, &outputs, nullptr);
  }
  if (result >= 0) result = avfilter_graph_config(graph_, nullptr);
  avfilter_inout_free(&inputs);
  avfilter_inout_free(&outputs);
  if (result < 0) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(result, text, sizeof text);
    *error = std::string(text) + " (" + chain + ")";
    Free();
    return false;
  }
  return true;
}

bool FilterGraph::Push(AVFrame* frame) {
  return av_buffersrc_add_frame_flags(source_, frame, AV_BUFFERSRC_FLAG_KEEP_REF) >= 0;
}

bool FilterGraph::Close(int64_t endPts) { return av_buffersrc_close(source_, endPts, 0) >= 0; }

int FilterGraph::Pull(AVFrame* frame) {
  int result = av_buffersink_get_frame(sink_, frame);
  if (result == AVERROR(EAGAIN)) return kGraphNeedsInput;
  if (result == AVERROR_EOF) return kGraphEnded;
  return result;
}

AVRational FilterGraph::OutputTimeBase() const { return av_buffersink_get_time_base(sink_); }

bool PictureGraph::Build(const PictureInput& in, const TargetFormat& t, double startSeconds, bool mayKeepFields,
                         std::string* error) {
  AVRational sar = in.sampleAspect.num > 0 && in.sampleAspect.den > 0 ? in.sampleAspect : AVRational{1, 1};
  const char* format = av_get_pix_fmt_name(static_cast<AVPixelFormat>(in.format));
  if (format == nullptr) {
    *error = "unknown picture format";
    return false;
  }
  std::string source = Format("video_size=%dx%d:pix_fmt=%s:time_base=%d/%d:pixel_aspect=%d/%d", in.width,
                              in.height, format, in.timeBase.num, in.timeBase.den, sar.num, sar.den);

  // The picture as it is shown: mirrored first, then turned clockwise.
  std::string orient = in.mirrored ? "hflip," : "";
  const bool across = in.rotation == 90 || in.rotation == 270;
  if (in.rotation == 90) orient += "transpose=clock,";
  else if (in.rotation == 180) orient += "hflip,vflip,";
  else if (in.rotation == 270) orient += "transpose=cclock,";
  int shownW = across ? in.height : in.width, shownH = across ? in.width : in.height;
  double shownSar = across ? av_q2d(AVRational{sar.den, sar.num}) : av_q2d(sar);
  PictureFit fit = FitPicture(shownW, shownH, shownSar, t);

  // Fields survive only when no line of them moves: the same lines, no
  // crop or pad across them, and one picture for each of the source's.
  double rate = static_cast<double>(t.rateNum) / t.rateDen;
  keepsFields_ = mayKeepFields && in.interlaced && !across && t.mpegVersion == 2 && fit.srcH == shownH &&
                 fit.dstH == shownH && fit.dstH == t.height && std::fabs(in.frameRate - rate) < 0.01 * rate;
  topFieldFirst_ = in.topFieldFirst;

  std::string chain;
  if (in.interlaced && !keepsFields_) chain += "yadif=mode=send_frame:parity=auto:deint=interlaced,";
  chain += orient;
  if (fit.srcW != shownW || fit.srcH != shownH)
    chain += Format("crop=w=%d:h=%d:x=%d:y=%d,", fit.srcW, fit.srcH, fit.srcX, fit.srcY);
  chain += Format("scale=w=%d:h=%d:flags=bicubic%s,", fit.dstW, fit.dstH, keepsFields_ ? ":interl=1" : "");
  if (fit.dstW != t.width || fit.dstH != t.height)
    chain += Format("pad=w=%d:h=%d:x=%d:y=%d:color=black,", t.width, t.height, fit.dstX, fit.dstY);
  // The whole picture has the display shape asked for.
  AVRational outSar;
  double display = t.wide ? 16.0 / 9 : 4.0 / 3;
  av_reduce(&outSar.num, &outSar.den, std::lround(display * t.height * 1000), static_cast<int64_t>(t.width) * 1000,
            255);
  chain += Format("setsar=sar=%d/%d,", outSar.num, outSar.den);
  chain += Format("fps=fps=%d/%d:start_time=%.6f", t.rateNum, t.rateDen, startSeconds);
  if (keepsFields_) chain += topFieldFirst_ ? ",setfield=tff" : ",setfield=bff";
  chain += ",format=yuv420p";
  return FilterGraph::Build("buffer", source, "buffersink", chain, error);
}

bool SoundGraph::Build(const SoundInput& in, int outputRate, int outputFormat, int64_t firstSample,
                       std::string* error) {
  char layout[128] = "";
  av_channel_layout_describe(&in.layout, layout, sizeof layout);
  const char* format = av_get_sample_fmt_name(static_cast<AVSampleFormat>(in.format));
  const char* outFormat = av_get_sample_fmt_name(static_cast<AVSampleFormat>(outputFormat));
  if (format == nullptr || outFormat == nullptr) {
    *error = "unknown sample format";
    return false;
  }
  std::string source = Format("sample_rate=%d:sample_fmt=%s:channel_layout=%s:time_base=1/%d", in.sampleRate,
                              format, layout, in.sampleRate);
  // Every sound frame at its own time: gaps above 20 ms filled with
  // silence, overlaps trimmed.
  std::string chain = Format(
      "aresample=osr=%d:async=1:min_hard_comp=0.02:first_pts=%lld,"
      "aformat=sample_fmts=%s:sample_rates=%d:channel_layouts=stereo",
      outputRate, static_cast<long long>(firstSample), outFormat, outputRate);
  return FilterGraph::Build("abuffer", source, "abuffersink", chain, error);
}

}  // namespace convctl
