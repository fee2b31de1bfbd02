// FFmpeg's demuxers and decoders read the source; swscale fits its
// pictures into the profile's, swresample its sound; FFmpeg's MPEG-1/2
// video and MPEG layer II encoders write the two elementary streams as raw
// bytes (no container: the multiplexer joins them).
//
// Time: a frame's time is its time stamp less the file's start, so 0 is
// the first moment of the file whatever its container counts from. The
// clip's pictures are laid on the profile's constant frame rate: a source
// picture goes to the output slot nearest its time; slots it skips get the
// picture before, pictures that land on a slot already filled are dropped.
#include "standins/convctl/media_convert.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace convctl {

namespace {

// Owners of FFmpeg's objects, so every way out frees them.
struct FormatInput {
  AVFormatContext* context = nullptr;
  ~FormatInput() { avformat_close_input(&context); }
};
struct Codec {
  AVCodecContext* context = nullptr;
  ~Codec() { avcodec_free_context(&context); }
};
struct Frame {
  AVFrame* frame = av_frame_alloc();
  ~Frame() { av_frame_free(&frame); }
};
struct Packet {
  AVPacket* packet = av_packet_alloc();
  ~Packet() { av_packet_free(&packet); }
};

// A short FFmpeg error text.
std::string ErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = "";
  av_strerror(error, text, sizeof text);
  return text;
}

// FFmpeg reports on stderr unless told not to; the control has no console.
void QuietFfmpeg() {
  static bool once = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  (void)once;
}

int OpenInput(const char* path, FormatInput* input, std::string* reason) {
  QuietFfmpeg();
  int error = avformat_open_input(&input->context, path, nullptr, nullptr);
  if (error < 0) {
    *reason = error == AVERROR(ENOENT) ? "The file cannot be opened"
                                      : "The file is no video file that can be read (" + ErrorText(error) + ")";
    return error;
  }
  error = avformat_find_stream_info(input->context, nullptr);
  if (error < 0) *reason = "The file's streams cannot be read (" + ErrorText(error) + ")";
  return error;
}

// The best stream of the type that has a decoder, or -1.
int BestStream(AVFormatContext* context, AVMediaType type, const AVCodec** decoder) {
  *decoder = nullptr;
  int index = av_find_best_stream(context, type, -1, -1, decoder, 0);
  if (index < 0 || *decoder == nullptr) return -1;
  const AVCodecParameters* p = context->streams[index]->codecpar;
  if (type == AVMEDIA_TYPE_VIDEO && (p->width <= 0 || p->height <= 0)) return -1;
  if (type == AVMEDIA_TYPE_AUDIO && (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0)) return -1;
  return index;
}

double StartOf(const AVFormatContext* context) {
  return context->start_time != AV_NOPTS_VALUE ? context->start_time / static_cast<double>(AV_TIME_BASE) : 0;
}

double DurationOf(const AVFormatContext* context, int videoIndex) {
  if (context->duration > 0) return context->duration / static_cast<double>(AV_TIME_BASE);
  if (videoIndex >= 0) {
    const AVStream* s = context->streams[videoIndex];
    if (s->duration > 0) return s->duration * av_q2d(s->time_base);
  }
  return 0;
}

// A file whose header counts more pictures than it holds (an AVI cut off
// before its end) is cut short: "" when it is whole.
std::string CutShort(const AVFormatContext* context, int videoIndex, double duration) {
  if (videoIndex < 0) return std::string();
  const AVStream* s = context->streams[videoIndex];
  double rate = s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0 ? av_q2d(s->avg_frame_rate) : 0;
  if (s->nb_frames <= 0 || !(rate > 0)) return std::string();
  double announced = s->nb_frames / rate;
  if (announced <= duration + 1.0) return std::string();
  char text[160];
  snprintf(text, sizeof text, "The video ends after %.1f s of the %.1f s its header gives: the file is cut short or damaged",
           duration, announced);
  return text;
}

const char* CodecName(const AVCodecParameters* p) {
  const AVCodecDescriptor* d = avcodec_descriptor_get(p->codec_id);
  return d != nullptr ? d->name : "unknown";
}

}  // namespace

bool ProbeMedia(const char* path, MediaInfo* info) {
  *info = MediaInfo();
  FormatInput input;
  if (OpenInput(path, &input, &info->reason) < 0) return false;
  AVFormatContext* fc = input.context;
  const AVCodec* videoCodec = nullptr;
  const AVCodec* audioCodec = nullptr;
  int v = BestStream(fc, AVMEDIA_TYPE_VIDEO, &videoCodec);
  int a = BestStream(fc, AVMEDIA_TYPE_AUDIO, &audioCodec);
  double duration = DurationOf(fc, v);
  char text[256];
  int n = snprintf(text, sizeof text, "%s:", fc->iformat->name);
  if (v >= 0) {
    AVStream* s = fc->streams[v];
    AVRational rate = av_guess_frame_rate(fc, s, nullptr);
    info->frameRate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
    info->width = s->codecpar->width;
    info->height = s->codecpar->height;
    info->videoBitRate = s->codecpar->bit_rate > 0 && s->codecpar->bit_rate < INT32_MAX
                             ? static_cast<int>(s->codecpar->bit_rate) : 0;
    n += snprintf(text + n, sizeof text - n, " %s %dx%d %.2f fps,", CodecName(s->codecpar), info->width,
                  info->height, info->frameRate);
  } else {
    n += snprintf(text + n, sizeof text - n, " no video,");
  }
  if (a >= 0) {
    const AVCodecParameters* p = fc->streams[a]->codecpar;
    snprintf(text + n, sizeof text - n, " %s %d Hz %d channel(s)", CodecName(p), p->sample_rate,
             p->ch_layout.nb_channels);
  } else {
    snprintf(text + n, sizeof text - n, " no audio");
  }
  info->description = text;
  if (v < 0) info->reason = "The file holds no video that can be decoded";
  else if (a < 0) info->reason = "The file holds no audio that can be decoded";
  else if (!(duration > 0)) info->reason = "The file's length is 0 or unknown";
  else info->reason = CutShort(fc, v, duration);
  if (!info->reason.empty()) return false;
  info->video = info->audio = true;
  info->duration = duration;
  return true;
}

bool TargetForProfile(long profile, long videoKbit, long audioKbit, bool wide, bool crop, TargetFormat* t) {
  bool pal = profile == 2 || profile == 5 || profile == 7;
  *t = TargetFormat();
  t->rateNum = pal ? 25 : 30000;
  t->rateDen = pal ? 1 : 1001;
  t->gop = pal ? 15 : 18;
  t->crop = crop;
  switch (profile) {
    case 1:
    case 2:  // VideoCD: MPEG-1 at a constant rate, 4:3 only
      t->mpegVersion = 1;
      t->width = 352;
      t->height = pal ? 288 : 240;
      return true;
    case 4:
    case 5:
      t->mpegVersion = 2;
      t->width = 480;
      t->height = pal ? 576 : 480;
      t->videoBitRate = 2040000;
      t->videoMaxRate = 2500000;
      t->videoMinRate = 0;
      t->vbvBits = 224 * 1024 * 8;
      t->wide = wide;
      return true;
    case 6:
    case 7:
      t->mpegVersion = 2;
      t->width = 720;
      t->height = pal ? 576 : 480;
      t->videoMaxRate = 8000000;
      t->videoBitRate = videoKbit > 0 ? std::min<long>(videoKbit * 1000, t->videoMaxRate) : 6000000;
      t->videoMinRate = 0;
      t->vbvBits = 224 * 1024 * 8;
      t->wide = wide;
      t->sampleRate = 48000;
      if (audioKbit > 0) t->audioBitRate = static_cast<int>(audioKbit * 1000);
      return true;
    default:
      return false;
  }
}

namespace {
int Even(double x) { return std::max(2, static_cast<int>(std::lround(x / 2)) * 2); }
}  // namespace

PictureFit FitPicture(int srcW, int srcH, double sar, const TargetFormat& t) {
  PictureFit f;
  f.srcW = srcW & ~1;
  f.srcH = srcH & ~1;
  f.dstW = t.width;
  f.dstH = t.height;
  if (!(sar > 0)) sar = 1;
  double source = srcW * sar / srcH;
  double target = t.wide ? 16.0 / 9 : 4.0 / 3;
  if (std::fabs(source - target) < 0.01 * target) return f;
  if (t.crop) {
    if (source > target) f.srcW = std::min(f.srcW, Even(srcW * target / source));
    else f.srcH = std::min(f.srcH, Even(srcH * source / target));
    f.srcX = ((srcW - f.srcW) / 2) & ~1;
    f.srcY = ((srcH - f.srcH) / 2) & ~1;
  } else {
    if (source > target) f.dstH = std::min(t.height, Even(t.height * target / source));
    else f.dstW = std::min(t.width, Even(t.width * source / target));
    f.dstX = ((t.width - f.dstW) / 2) & ~1;
    f.dstY = ((t.height - f.dstH) / 2) & ~1;
  }
  return f;
}

namespace {

// One of the two output files, removed unless kept.
class OutputFile {
public:
  explicit OutputFile(const char* path) : path_(path), file_(fopen(path, "wb")) {}
  ~OutputFile() {
    if (file_ != nullptr) fclose(file_);
    if (!kept_) remove(path_.c_str());
  }
  bool Open() const { return file_ != nullptr; }
  bool Write(const AVPacket* p) {
    if (file_ != nullptr && fwrite(p->data, 1, static_cast<size_t>(p->size), file_) != static_cast<size_t>(p->size))
      failed_ = true;
    return !failed_;
  }
  bool Keep() {
    if (fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    kept_ = !failed_;
    return kept_;
  }

private:
  std::string path_;
  FILE* file_;
  bool failed_ = false;
  bool kept_ = false;
};

int Threads() { return static_cast<int>(std::min(8u, std::max(1u, std::thread::hardware_concurrency()))); }

class Converter {
public:
  Converter(const ConvertRequest& r, ClipObserver* observer, std::string* reason)
      : r_(r), t_(r.target), observer_(observer), reason_(reason), video_(r.videoOutput), audio_(r.audioOutput) {}
  ~Converter() {
    sws_freeContext(scaler_);
    swr_free(&resampler_);
    if (fifo_ != nullptr) av_audio_fifo_free(fifo_);
  }

  int Run(ConvertReport* report);

private:
  int Fail(int result, const std::string& why) {
    if (reason_->empty()) *reason_ = why;
    return result;
  }
  bool OpenDecoder(int index, Codec* codec);
  bool OpenEncoders();
  bool Seek();
  // Feeds one packet (or the flush, packet nullptr) through a decoder.
  int Decode(Codec* codec, const AVPacket* packet, bool isVideo);
  int OnVideoFrame(AVFrame* frame);
  int OnAudioFrame(AVFrame* frame);
  int EmitPicture(const AVFrame* source);
  bool Scale(const AVFrame* source);
  int EncodeVideo(AVFrame* frame);
  int EncodeAudio(bool flush);
  int Drain(AVCodecContext* encoder, OutputFile* file);
  double FrameTime(const AVFrame* frame, const AVStream* stream) const;
  double ClipLength() const { return clipEnd_ - r_.start; }

  const ConvertRequest& r_;
  const TargetFormat& t_;
  ClipObserver* observer_;
  std::string* reason_;
  OutputFile video_, audio_;
  FormatInput input_;
  int vIndex_ = -1, aIndex_ = -1;
  Codec vDec_, aDec_, vEnc_, aEnc_;
  double zero_ = 0;     // the file's start, seconds of its clock
  double clipEnd_ = 0;  // seconds from the file's start
  double fps_ = 25;
  // Video.
  SwsContext* scaler_ = nullptr;
  int scalerW_ = 0, scalerH_ = 0, scalerFormat_ = -1;
  PictureFit fit_;
  Frame picture_;          // the output picture (black around the fit)
  Frame held_;             // the last source picture placed
  bool haveHeld_ = false;
  int64_t nextSlot_ = 0;   // next output picture number
  bool videoDone_ = false;
  double lastVideoTime_ = -1;
  // Audio.
  SwrContext* resampler_ = nullptr;
  AVAudioFifo* fifo_ = nullptr;
  Frame sound_;            // one encoder frame
  int64_t samplesIn_ = 0;  // samples given to the fifo, at the target rate
  int64_t samplesOut_ = 0; // samples encoded
  bool audioStarted_ = false;
  bool audioDone_ = false;
  int audioFrames_ = 0;
};

bool Converter::OpenDecoder(int index, Codec* codec) {
  const AVStream* s = input_.context->streams[index];
  const AVCodec* decoder = avcodec_find_decoder(s->codecpar->codec_id);
  codec->context = decoder != nullptr ? avcodec_alloc_context3(decoder) : nullptr;
  if (codec->context == nullptr || avcodec_parameters_to_context(codec->context, s->codecpar) < 0) return false;
  codec->context->thread_count = 0;  // as many as the machine has
  codec->context->pkt_timebase = s->time_base;
  return avcodec_open2(codec->context, decoder, nullptr) >= 0;
}

bool Converter::OpenEncoders() {
  const AVCodec* venc = avcodec_find_encoder(t_.mpegVersion == 1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO);
  const AVCodec* aenc = avcodec_find_encoder(AV_CODEC_ID_MP2);
  if (venc == nullptr || aenc == nullptr) return false;
  AVCodecContext* v = vEnc_.context = avcodec_alloc_context3(venc);
  AVCodecContext* a = aEnc_.context = avcodec_alloc_context3(aenc);
  if (v == nullptr || a == nullptr) return false;
  v->width = t_.width;
  v->height = t_.height;
  v->pix_fmt = AV_PIX_FMT_YUV420P;
  v->time_base = AVRational{t_.rateDen, t_.rateNum};
  v->framerate = AVRational{t_.rateNum, t_.rateDen};
  v->gop_size = t_.gop;
  v->max_b_frames = 2;
  v->bit_rate = t_.videoBitRate;
  v->rc_max_rate = t_.videoMaxRate;
  v->rc_min_rate = t_.videoMinRate;
  v->rc_buffer_size = t_.vbvBits;
  v->rc_initial_buffer_occupancy = t_.vbvBits * 3 / 4;
  // Display shape: 4:3 or 16:9 on the whole picture.
  double display = t_.wide ? 16.0 / 9 : 4.0 / 3;
  av_reduce(&v->sample_aspect_ratio.num, &v->sample_aspect_ratio.den,
            static_cast<int64_t>(std::lround(display * t_.height * 1000)), static_cast<int64_t>(t_.width) * 1000,
            255);
  v->thread_count = Threads();
  v->thread_type = FF_THREAD_SLICE;
  if (t_.mpegVersion == 2 && t_.width == 480) av_opt_set_int(v->priv_data, "scan_offset", 1, 0);  // SVCD
  if (avcodec_open2(v, venc, nullptr) < 0) return false;

  a->sample_rate = t_.sampleRate;
  a->sample_fmt = AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&a->ch_layout, 2);
  a->bit_rate = t_.audioBitRate;
  a->time_base = AVRational{1, t_.sampleRate};
  if (avcodec_open2(a, aenc, nullptr) < 0) return false;

  picture_.frame->format = AV_PIX_FMT_YUV420P;
  picture_.frame->width = t_.width;
  picture_.frame->height = t_.height;
  sound_.frame->format = AV_SAMPLE_FMT_S16;
  sound_.frame->nb_samples = a->frame_size;
  sound_.frame->sample_rate = t_.sampleRate;
  av_channel_layout_default(&sound_.frame->ch_layout, 2);
  if (av_frame_get_buffer(picture_.frame, 0) < 0 || av_frame_get_buffer(sound_.frame, 0) < 0) return false;
  fifo_ = av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, 2, a->frame_size * 4);
  return fifo_ != nullptr;
}

bool Converter::Seek() {
  if (r_.start <= 0) return true;
  // A little before: the pictures up to the start are decoded and dropped.
  int64_t target = static_cast<int64_t>((zero_ + std::max(0.0, r_.start - 1.0)) * AV_TIME_BASE);
  if (av_seek_frame(input_.context, -1, target, AVSEEK_FLAG_BACKWARD) < 0) {
    // Some files cannot seek: read from the start and drop what comes before.
    av_seek_frame(input_.context, -1, static_cast<int64_t>(zero_ * AV_TIME_BASE), AVSEEK_FLAG_BACKWARD);
  }
  return true;
}

double Converter::FrameTime(const AVFrame* frame, const AVStream* stream) const {
  int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
  if (ts == AV_NOPTS_VALUE) return NAN;
  return ts * av_q2d(stream->time_base) - zero_;
}

int Converter::Decode(Codec* codec, const AVPacket* packet, bool isVideo) {
  int error = avcodec_send_packet(codec->context, packet);
  // A damaged packet is skipped, as players do; the rest of the file goes on.
  if (error < 0 && error != AVERROR(EAGAIN) && error != AVERROR_EOF && packet != nullptr) return kClipOk;
  Frame frame;
  while (true) {
    error = avcodec_receive_frame(codec->context, frame.frame);
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return kClipOk;
    if (error < 0) return kClipOk;  // a picture or sound frame that cannot be decoded
    int result = isVideo ? OnVideoFrame(frame.frame) : OnAudioFrame(frame.frame);
    av_frame_unref(frame.frame);
    if (result != kClipOk) return result;
  }
}

bool Converter::Scale(const AVFrame* source) {
  if (scaler_ == nullptr || scalerW_ != source->width || scalerH_ != source->height ||
      scalerFormat_ != source->format) {
    sws_freeContext(scaler_);
    AVRational sar = av_guess_sample_aspect_ratio(input_.context, input_.context->streams[vIndex_],
                                                  const_cast<AVFrame*>(source));
    fit_ = FitPicture(source->width, source->height, sar.num > 0 && sar.den > 0 ? av_q2d(sar) : 1.0, t_);
    scaler_ = sws_getContext(fit_.srcW, fit_.srcH, static_cast<AVPixelFormat>(source->format), fit_.dstW, fit_.dstH,
                             AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
    scalerW_ = source->width;
    scalerH_ = source->height;
    scalerFormat_ = source->format;
    if (scaler_ == nullptr) return false;
  }
  if (av_frame_make_writable(picture_.frame) < 0) return false;
  // Black around the picture (the encoder may still hold the last buffer).
  const uint8_t black[3] = {16, 128, 128};
  for (int p = 0; p < 3; ++p) {
    int h = p == 0 ? t_.height : t_.height / 2;
    int w = p == 0 ? t_.width : t_.width / 2;
    for (int y = 0; y < h; ++y) memset(picture_.frame->data[p] + y * picture_.frame->linesize[p], black[p], w);
  }
  const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(source->format));
  if (d == nullptr) return false;
  const uint8_t* src[4] = {nullptr, nullptr, nullptr, nullptr};
  for (int p = 0; p < 4 && source->data[p] != nullptr; ++p) {
    bool chroma = (p == 1 || p == 2) && !(d->flags & AV_PIX_FMT_FLAG_RGB);
    int x = chroma ? fit_.srcX >> d->log2_chroma_w : fit_.srcX;
    int y = chroma ? fit_.srcY >> d->log2_chroma_h : fit_.srcY;
    // Packed formats step by their pixel size.
    int step = (d->flags & AV_PIX_FMT_FLAG_PLANAR) ? 1 : (av_get_bits_per_pixel(d) + 7) / 8;
    if (!(d->flags & AV_PIX_FMT_FLAG_PLANAR) && p > 0) { src[p] = source->data[p]; continue; }
    src[p] = source->data[p] + static_cast<ptrdiff_t>(y) * source->linesize[p] + x * step;
  }
  uint8_t* dst[4] = {picture_.frame->data[0] + fit_.dstY * picture_.frame->linesize[0] + fit_.dstX,
                     picture_.frame->data[1] + fit_.dstY / 2 * picture_.frame->linesize[1] + fit_.dstX / 2,
                     picture_.frame->data[2] + fit_.dstY / 2 * picture_.frame->linesize[2] + fit_.dstX / 2, nullptr};
  int dstStride[4] = {picture_.frame->linesize[0], picture_.frame->linesize[1], picture_.frame->linesize[2], 0};
  return sws_scale(scaler_, src, source->linesize, 0, fit_.srcH, dst, dstStride) > 0;
}

int Converter::EmitPicture(const AVFrame* source) {
  if (!Scale(source)) return Fail(kClipCannotRead, "A picture of the video cannot be converted");
  picture_.frame->pts = nextSlot_++;
  return EncodeVideo(picture_.frame);
}

int Converter::OnVideoFrame(AVFrame* frame) {
  if (videoDone_) return kClipOk;
  double time = FrameTime(frame, input_.context->streams[vIndex_]);
  if (std::isnan(time)) time = lastVideoTime_ >= 0 ? lastVideoTime_ + 1 / fps_ : r_.start;
  lastVideoTime_ = time;
  double inClip = time - r_.start;
  if (inClip < -0.5 / fps_) {  // before the clip: only the latest one is kept
    av_frame_unref(held_.frame);
    haveHeld_ = av_frame_ref(held_.frame, frame) >= 0;
    return kClipOk;
  }
  if (time >= clipEnd_ - 0.5 / fps_) {
    videoDone_ = true;
    return kClipOk;
  }
  int64_t slot = std::llround(inClip * fps_);
  if (slot < nextSlot_) return kClipOk;  // this slot has its picture
  while (nextSlot_ < slot) {
    int result = EmitPicture(haveHeld_ ? held_.frame : frame);
    if (result != kClipOk) return result;
  }
  int result = EmitPicture(frame);
  if (result != kClipOk) return result;
  av_frame_unref(held_.frame);
  haveHeld_ = av_frame_ref(held_.frame, frame) >= 0;
  observer_->Progress(std::min(ClipLength(), nextSlot_ / fps_));
  return kClipOk;
}

int Converter::OnAudioFrame(AVFrame* frame) {
  if (audioDone_) return kClipOk;
  const int rate = t_.sampleRate;
  if (resampler_ == nullptr) {
    AVChannelLayout stereo;
    av_channel_layout_default(&stereo, 2);
    if (swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, rate, &frame->ch_layout,
                            static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr) < 0 ||
        swr_init(resampler_) < 0)
      return Fail(kClipCannotRead, "The audio cannot be converted");
  }
  double time = FrameTime(frame, input_.context->streams[aIndex_]);
  int64_t at = std::isnan(time) ? samplesIn_ : std::llround((time - r_.start) * rate);
  int64_t end = std::llround(ClipLength() * rate);
  // Converted sound of the frame.
  int room = swr_get_out_samples(resampler_, frame->nb_samples);
  if (room <= 0) return kClipOk;
  uint8_t* buffer = nullptr;
  if (av_samples_alloc(&buffer, nullptr, 2, room, AV_SAMPLE_FMT_S16, 0) < 0)
    return Fail(kClipCannotRead, "Out of memory");
  int got = swr_convert(resampler_, &buffer, room, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
  if (got < 0) {
    av_freep(&buffer);
    return Fail(kClipCannotRead, "The audio cannot be converted");
  }
  int skip = 0;
  if (!audioStarted_) {
    if (at + got <= 0) {  // wholly before the clip
      av_freep(&buffer);
      return kClipOk;
    }
    if (at < 0) skip = static_cast<int>(-at);
    // Sound that starts late gets silence before it, to stay beside the pictures.
    int64_t silence = std::max<int64_t>(0, at);
    std::vector<uint8_t> zeros(static_cast<size_t>(std::min<int64_t>(silence, rate * 10)) * 4, 0);
    void* z = zeros.data();
    if (!zeros.empty()) av_audio_fifo_write(fifo_, &z, static_cast<int>(zeros.size() / 4));
    samplesIn_ = static_cast<int64_t>(zeros.size() / 4);
    audioStarted_ = true;
  }
  int take = got - skip;
  if (samplesIn_ + take >= end) {
    take = static_cast<int>(std::max<int64_t>(0, end - samplesIn_));
    audioDone_ = true;
  }
  void* from = buffer + static_cast<size_t>(skip) * 4;
  if (take > 0 && av_audio_fifo_write(fifo_, &from, take) < take) {
    av_freep(&buffer);
    return Fail(kClipCannotRead, "Out of memory");
  }
  samplesIn_ += take;
  av_freep(&buffer);
  return EncodeAudio(false);
}

int Converter::Drain(AVCodecContext* encoder, OutputFile* file) {
  Packet packet;
  while (true) {
    int error = avcodec_receive_packet(encoder, packet.packet);
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return kClipOk;
    if (error < 0) return Fail(kClipCannotWrite, "The encoder failed (" + ErrorText(error) + ")");
    bool ok = file->Write(packet.packet);
    av_packet_unref(packet.packet);
    if (!ok) return Fail(kClipCannotWrite, "The stream cannot be written");
  }
}

int Converter::EncodeVideo(AVFrame* frame) {
  int error = avcodec_send_frame(vEnc_.context, frame);
  if (error < 0 && error != AVERROR_EOF) return Fail(kClipCannotWrite, "The video encoder failed (" + ErrorText(error) + ")");
  return Drain(vEnc_.context, &video_);
}

int Converter::EncodeAudio(bool flush) {
  const int size = aEnc_.context->frame_size;
  while (av_audio_fifo_size(fifo_) >= size || (flush && av_audio_fifo_size(fifo_) > 0)) {
    if (av_frame_make_writable(sound_.frame) < 0) return Fail(kClipCannotWrite, "Out of memory");
    int n = av_audio_fifo_read(fifo_, reinterpret_cast<void**>(sound_.frame->data), size);
    if (n < size) memset(sound_.frame->data[0] + n * 4, 0, static_cast<size_t>(size - n) * 4);
    sound_.frame->pts = samplesOut_;
    samplesOut_ += size;
    ++audioFrames_;
    int error = avcodec_send_frame(aEnc_.context, sound_.frame);
    if (error < 0) return Fail(kClipCannotWrite, "The audio encoder failed (" + ErrorText(error) + ")");
    int result = Drain(aEnc_.context, &audio_);
    if (result != kClipOk) return result;
  }
  if (!flush) return kClipOk;
  avcodec_send_frame(aEnc_.context, nullptr);
  return Drain(aEnc_.context, &audio_);
}

int Converter::Run(ConvertReport* report) {
  if (!video_.Open() || !audio_.Open()) return Fail(kClipCannotWrite, "The output streams cannot be created");
  if (OpenInput(r_.input, &input_, reason_) < 0) return kClipCannotRead;
  AVFormatContext* fc = input_.context;
  const AVCodec* unused = nullptr;
  vIndex_ = BestStream(fc, AVMEDIA_TYPE_VIDEO, &unused);
  aIndex_ = BestStream(fc, AVMEDIA_TYPE_AUDIO, &unused);
  if (vIndex_ < 0) return Fail(kClipUnsupported, "The file holds no video that can be decoded");
  if (aIndex_ < 0) return Fail(kClipUnsupported, "The file holds no audio that can be decoded");
  double duration = DurationOf(fc, vIndex_);
  if (!(duration > 0)) return Fail(kClipUnsupported, "The file's length is 0 or unknown");
  std::string cut = CutShort(fc, vIndex_, duration);
  if (!cut.empty()) return Fail(kClipCannotRead, cut);
  if (!OpenDecoder(vIndex_, &vDec_) || !OpenDecoder(aIndex_, &aDec_))
    return Fail(kClipUnsupported, "The file's streams cannot be decoded");
  if (!OpenEncoders()) return Fail(kClipCannotWrite, "The MPEG encoders cannot be set up");
  zero_ = StartOf(fc);
  fps_ = static_cast<double>(t_.rateNum) / t_.rateDen;
  clipEnd_ = r_.stop > r_.start ? std::min(r_.stop, duration) : duration;
  if (r_.start >= clipEnd_) return Fail(kClipNothingInRange, "The clip starts after the end of the file");
  for (unsigned i = 0; i < fc->nb_streams; ++i)
    fc->streams[i]->discard = static_cast<int>(i) == vIndex_ || static_cast<int>(i) == aIndex_ ? AVDISCARD_DEFAULT
                                                                                                 : AVDISCARD_ALL;
  Seek();

  Packet packet;
  int result = kClipOk;
  while (result == kClipOk && !(videoDone_ && audioDone_)) {
    if (!observer_->Continue()) return kClipCancelled;
    int error = av_read_frame(fc, packet.packet);
    if (error == AVERROR_EOF || error == AVERROR(EIO)) break;
    if (error < 0) {
      // A damaged stretch: go on after it; a file that yields nothing more ends.
      if (error == AVERROR(EAGAIN)) continue;
      break;
    }
    if (packet.packet->stream_index == vIndex_) result = Decode(&vDec_, packet.packet, true);
    else if (packet.packet->stream_index == aIndex_) result = Decode(&aDec_, packet.packet, false);
    av_packet_unref(packet.packet);
  }
  if (result == kClipOk && !videoDone_) result = Decode(&vDec_, nullptr, true);
  if (result == kClipOk && !audioDone_) result = Decode(&aDec_, nullptr, false);
  if (result != kClipOk) return result;
  if (nextSlot_ == 0) return Fail(kClipNothingInRange, "No picture of the video lies in the clip");
  // A file that ends well before its own length is cut short or damaged.
  double written = nextSlot_ / fps_;
  if (written < ClipLength() - 1.0)
    return Fail(kClipCannotRead, "The video ends after " + std::to_string(static_cast<int>(r_.start + written)) +
                                     " s of " + std::to_string(static_cast<int>(clipEnd_)) +
                                     " s: the file is cut short or damaged");
  // The sound lasts as long as the pictures.
  int64_t wanted = std::llround(written * t_.sampleRate);
  if (samplesIn_ < wanted) {
    std::vector<uint8_t> zeros(static_cast<size_t>(wanted - samplesIn_) * 4, 0);
    void* z = zeros.data();
    av_audio_fifo_write(fifo_, &z, static_cast<int>(wanted - samplesIn_));
    samplesIn_ = wanted;
  }
  if ((result = EncodeVideo(nullptr)) != kClipOk || (result = EncodeAudio(true)) != kClipOk) return result;
  if (!video_.Keep() || !audio_.Keep()) return Fail(kClipCannotWrite, "The output streams cannot be written");
  observer_->Progress(ClipLength());
  report->videoFrames = static_cast<int>(nextSlot_);
  report->audioFrames = audioFrames_;
  report->seconds = written;
  return kClipOk;
}

}  // namespace

int ConvertClip(const ConvertRequest& request, ClipObserver* observer, ConvertReport* report, std::string* reason) {
  ConvertReport ignored;
  std::string why;
  if (report == nullptr) report = &ignored;
  if (reason == nullptr) reason = &why;
  *report = ConvertReport();
  reason->clear();
  Converter converter(request, observer, reason);
  int result = converter.Run(report);
  if (result == kClipCancelled) reason->assign("The conversion was stopped");
  if (result != kClipOk && reason->empty()) reason->assign(ClipResultText(result));
  return result;
}

}  // namespace convctl
