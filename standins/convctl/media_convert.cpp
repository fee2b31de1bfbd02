// FFmpeg's demuxers and decoders read the source; its filter graphs
// (media_graphs.h) fit the pictures into the profile's and the sound into
// its rate; FFmpeg's MPEG-1/2 video, MPEG layer II and AC-3 encoders write
// the two elementary streams as raw bytes (no container: the multiplexer
// joins them).
//
// Time: a frame's time is its time stamp less the file's start, so 0 is
// the first moment of the file whatever its container counts from. Every
// picture and every sound frame is laid at its own time: pictures are
// repeated or dropped to the profile's frame rate and the last one is held
// to the clip's end; gaps in the sound become silence, overlaps are cut.
// Long gaps are filled piece by piece, so memory stays flat, and the
// caller's Continue is asked between any two output frames.
#include "standins/convctl/media_convert.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "standins/convctl/media_graphs.h"

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

// A music file's cover art is a picture, not a video.
bool IsCoverArt(const AVStream* s) { return (s->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0; }

// The best stream of the type that has a decoder, or -1.
int BestStream(AVFormatContext* context, AVMediaType type, const AVCodec** decoder) {
  *decoder = nullptr;
  if (type == AVMEDIA_TYPE_VIDEO) {
    // Only the moving pictures compete.
    for (unsigned i = 0; i < context->nb_streams; ++i)
      if (IsCoverArt(context->streams[i])) context->streams[i]->discard = AVDISCARD_ALL;
  }
  int index = av_find_best_stream(context, type, -1, -1, decoder, 0);
  if (index < 0 || *decoder == nullptr || IsCoverArt(context->streams[index])) return -1;
  const AVCodecParameters* p = context->streams[index]->codecpar;
  if (type == AVMEDIA_TYPE_VIDEO && (p->width <= 0 || p->height <= 0)) return -1;
  if (type == AVMEDIA_TYPE_AUDIO && (p->sample_rate <= 0 || p->ch_layout.nb_channels <= 0)) return -1;
  return index;
}

double StartOf(const AVFormatContext* context) {
  return context->start_time != AV_NOPTS_VALUE ? context->start_time / static_cast<double>(AV_TIME_BASE) : 0;
}

bool OnlyCoverArt(const AVFormatContext* context) {
  bool art = false;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    const AVStream* s = context->streams[i];
    if (s->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    if (!IsCoverArt(s)) return false;
    art = true;
  }
  return art;
}

// Why the file cannot be converted: "" when it can.
std::string Unusable(const AVFormatContext* context, int videoIndex, int audioIndex, double duration) {
  if (videoIndex < 0 && OnlyCoverArt(context))
    return "The file holds no video, only a still picture (cover art)";
  if (videoIndex < 0) return "The file holds no video that can be decoded";
  if (audioIndex < 0) return "The file holds no audio that can be decoded";
  if (!(duration > 0)) return "The file's length is 0 or unknown";
  return std::string();
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
  info->reason = Unusable(fc, v, a, duration);
  if (info->reason.empty()) info->reason = CutShort(fc, v, duration);
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
      t->ac3 = true;  // what every DVD player plays, 525-line ones included
      t->sampleRate = 48000;
      if (audioKbit > 0) t->audioBitRate = static_cast<int>(std::min(audioKbit, 448L) * 1000);
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

std::string CopyMismatch(const SourceInfo& s, long profile) {
  TargetFormat t;
  if (!TargetForProfile(profile, 0, 0, false, false, &t)) return "Unknown profile";
  const bool vcd = t.mpegVersion == 1, dvd = t.width == 720;
  const bool pal = t.rateNum == 25;
  char text[200];
  if (!s.hasVideo) return "The file holds no video";
  if (s.videoVersion != t.mpegVersion)
    return vcd ? "The video is MPEG-2; a VCD needs MPEG-1 video" : "The video is MPEG-1; an SVCD or DVD needs MPEG-2 video";
  bool size = vcd ? s.width == 352 && s.height == t.height
              : dvd ? (s.width == 720 || s.width == 704 || s.width == 352) && (s.height == t.height || s.height == t.height / 2)
                    : s.width == 480 && s.height == t.height;
  if (!size || std::fabs(s.frameRate - static_cast<double>(t.rateNum) / t.rateDen) > 0.01) {
    snprintf(text, sizeof text, "The picture (%dx%d, %.2f fps) is not the profile's", s.width, s.height, s.frameRate);
    return text;
  }
  // The most video the disc's players read: a VCD's constant rate, an
  // SVCD's and a DVD's peak.
  const int maxVideo = vcd ? 1150000 : dvd ? 9800000 : 2600000;
  if (s.videoBitRate <= 0 || s.videoBitRate > maxVideo) {
    snprintf(text, sizeof text, "The video's rate (%d kbit/s) is above the profile's %d kbit/s", s.videoBitRate / 1000,
             maxVideo / 1000);
    return text;
  }
  if (s.audio == kAudioAc3 ? !dvd : s.audio != kAudioMpeg || s.audioLayer != 2 || (dvd && !pal))
    return dvd ? (pal ? "The audio is neither AC-3 nor MPEG layer II" : "The audio is no AC-3, which an NTSC DVD needs")
               : "The audio is no MPEG layer II, which a VCD or SVCD needs";
  const int maxAudio = s.audio == kAudioAc3 ? 448000 : vcd ? 224000 : 384000;
  if (s.sampleRate != t.sampleRate || s.audioChannels < 1 || s.audioChannels > (s.audio == kAudioAc3 ? 5 : 2) ||
      s.audioBitRate > maxAudio) {
    snprintf(text, sizeof text, "The audio (%d Hz, %d channel(s), %d kbit/s) is not the profile's", s.sampleRate,
             s.audioChannels, s.audioBitRate / 1000);
    return text;
  }
  return std::string();
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

// The MPEG-1 default intra matrix, in raster order.
const uint16_t kMpeg1Intra[64] = {8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37,
                                  19, 22, 26, 27, 29, 34, 34, 38, 22, 22, 26, 27, 29, 34, 37, 40,
                                  22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32, 35, 40, 48, 58,
                                  26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83};

class Converter {
public:
  Converter(const ConvertRequest& r, ClipObserver* observer, std::string* reason)
      : r_(r), t_(r.target), observer_(observer), reason_(reason), video_(r.videoOutput), audio_(r.audioOutput) {}
  ~Converter() {
    if (fifo_ != nullptr) av_audio_fifo_free(fifo_);
  }

  int Run(ConvertReport* report);

private:
  int Fail(int result, const std::string& why) {
    if (reason_->empty()) *reason_ = why;
    return result;
  }
  bool OpenDecoder(int index, Codec* codec);
  bool OpenVideoEncoder(bool interlaced, bool topFieldFirst);
  bool OpenAudioEncoder();
  void Seek();
  void ReadOrientation();
  // Feeds one packet (or the flush, packet nullptr) through a decoder.
  int Decode(Codec* codec, const AVPacket* packet, bool isVideo);
  double FrameTime(const AVFrame* frame, const AVStream* stream) const;
  double ClipLength() const { return clipEnd_ - r_.start; }
  // Pictures.
  int OnPicture(AVFrame* frame);
  int PushPicture(AVFrame* frame, double time);
  int StartPictures(const PictureInput& input, double boundary);
  int DrainPictures();
  int EncodePicture(AVFrame* picture);
  int EndPictures();
  // Sound.
  int OnSound(AVFrame* frame);
  int PushSound(AVFrame* frame, int64_t pts);
  int FillSilence(double until);
  int DrainSound();
  int TakeSound(AVFrame* frame);
  int EncodeSound(bool flush);
  int EndSound();
  int Drain(AVCodecContext* encoder, OutputFile* file, int64_t* bytes);

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
  double reached_ = 0;  // the furthest any stream got, seconds from the clip's start
  // Pictures.
  int rotation_ = 0;
  bool mirrored_ = false;
  PictureGraph pictures_;
  PictureInput pictureInput_;
  bool fieldsChosen_ = false, keepFields_ = false;
  Frame before_;            // the latest picture before the clip, not yet shown
  bool haveBefore_ = false;
  double beforeTime_ = 0;
  int64_t nextSlot_ = 0;    // next output picture number
  bool videoDone_ = false;
  // Sound.
  SoundGraph sound_;
  SoundInput soundInput_;
  double soundEnd_ = 0;     // where the sound pushed so far ends, seconds of the clip
  AVAudioFifo* fifo_ = nullptr;
  int64_t samplesTaken_ = 0;  // output samples into the fifo
  int64_t samplesLimit_ = 0;  // no more than these (the pictures' length)
  int64_t samplesOut_ = 0;    // samples encoded
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

bool Converter::OpenVideoEncoder(bool interlaced, bool topFieldFirst) {
  const AVCodec* venc = avcodec_find_encoder(t_.mpegVersion == 1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO);
  if (venc == nullptr) return false;
  AVCodecContext* v = vEnc_.context = avcodec_alloc_context3(venc);
  if (v == nullptr) return false;
  const bool constant = t_.videoMinRate > 0 && t_.videoMinRate == t_.videoMaxRate;
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
  // A constant rate starts with little in the decoder's buffer: what the
  // stream borrows there at the start is more than the rate, and the
  // multiplexer, counting the whole clip, finds no room for it in a short one.
  v->rc_initial_buffer_occupancy = constant ? t_.vbvBits / 8 : t_.vbvBits * 3 / 4;
  double display = t_.wide ? 16.0 / 9 : 4.0 / 3;
  av_reduce(&v->sample_aspect_ratio.num, &v->sample_aspect_ratio.den,
            static_cast<int64_t>(std::lround(display * t_.height * 1000)), static_cast<int64_t>(t_.width) * 1000,
            255);
  v->thread_count = Threads();
  v->thread_type = FF_THREAD_SLICE;
  if (interlaced) {
    v->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
    v->field_order = topFieldFirst ? AV_FIELD_TT : AV_FIELD_BB;
  }
  if (constant) {
    // Twice the default steps: at the coarsest scale the encoder has, busy
    // pictures (noise, scene changes) still fit a constant rate.
    v->intra_matrix = static_cast<uint16_t*>(av_malloc(64 * sizeof(uint16_t)));
    v->inter_matrix = static_cast<uint16_t*>(av_malloc(64 * sizeof(uint16_t)));
    if (v->intra_matrix == nullptr || v->inter_matrix == nullptr) return false;
    for (int i = 0; i < 64; ++i) {
      v->intra_matrix[i] = static_cast<uint16_t>(kMpeg1Intra[i] * 2);
      v->inter_matrix[i] = 32;
    }
  }
  if (t_.mpegVersion == 2 && t_.width == 480) av_opt_set_int(v->priv_data, "scan_offset", 1, 0);  // SVCD
  if (avcodec_open2(v, venc, nullptr) < 0) return false;
  return true;
}

bool Converter::OpenAudioEncoder() {
  const AVCodec* aenc = avcodec_find_encoder(t_.ac3 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_MP2);
  if (aenc == nullptr || aenc->sample_fmts == nullptr) return false;
  AVCodecContext* a = aEnc_.context = avcodec_alloc_context3(aenc);
  if (a == nullptr) return false;
  a->sample_rate = t_.sampleRate;
  a->sample_fmt = aenc->sample_fmts[0];
  av_channel_layout_default(&a->ch_layout, 2);
  a->bit_rate = t_.audioBitRate;
  a->time_base = AVRational{1, t_.sampleRate};
  if (avcodec_open2(a, aenc, nullptr) < 0) return false;
  fifo_ = av_audio_fifo_alloc(a->sample_fmt, 2, a->frame_size * 4);
  return fifo_ != nullptr;
}

void Converter::Seek() {
  if (r_.start <= 0) return;
  // A little before: the pictures up to the start are decoded and dropped.
  int64_t target = static_cast<int64_t>((zero_ + std::max(0.0, r_.start - 1.0)) * AV_TIME_BASE);
  if (av_seek_frame(input_.context, -1, target, AVSEEK_FLAG_BACKWARD) < 0) {
    // Some files cannot seek: read from the start and drop what comes before.
    av_seek_frame(input_.context, -1, static_cast<int64_t>(zero_ * AV_TIME_BASE), AVSEEK_FLAG_BACKWARD);
  }
}

// The display matrix stored with the video (phones): turned by a multiple
// of 90 degrees, and perhaps mirrored.
void Converter::ReadOrientation() {
  size_t size = 0;
  const uint8_t* data = av_stream_get_side_data(input_.context->streams[vIndex_], AV_PKT_DATA_DISPLAYMATRIX, &size);
  if (data == nullptr || size < 9 * sizeof(int32_t)) return;
  int32_t m[9];
  memcpy(m, data, sizeof m);
  mirrored_ = static_cast<double>(m[0]) * m[4] - static_cast<double>(m[1]) * m[3] < 0;
  if (mirrored_) av_display_matrix_flip(m, 1, 0);
  double counterClockwise = av_display_rotation_get(m);
  if (std::isnan(counterClockwise)) return;
  int quarter = static_cast<int>(std::lround(-counterClockwise / 90.0));
  rotation_ = ((quarter % 4) + 4) % 4 * 90;
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
    int result = isVideo ? OnPicture(frame.frame) : OnSound(frame.frame);
    av_frame_unref(frame.frame);
    if (result != kClipOk) return result;
  }
}

// ---- Pictures ------------------------------------------------------------------

int Converter::OnPicture(AVFrame* frame) {
  if (videoDone_) return kClipOk;
  const AVStream* stream = input_.context->streams[vIndex_];
  double time = FrameTime(frame, stream);
  if (std::isnan(time)) return kClipOk;  // no time, no place
  double inClip = time - r_.start;
  reached_ = std::max(reached_, inClip);
  const double half = 0.5 / fps_;
  if (inClip < -half) {  // before the clip: only the latest one may be shown
    av_frame_unref(before_.frame);
    haveBefore_ = av_frame_ref(before_.frame, frame) >= 0;
    beforeTime_ = inClip;
    return kClipOk;
  }
  if (inClip >= ClipLength() - half) {
    videoDone_ = true;
    return kClipOk;
  }
  if (haveBefore_) {
    int result = PushPicture(before_.frame, beforeTime_);
    haveBefore_ = false;
    av_frame_unref(before_.frame);
    if (result != kClipOk) return result;
  }
  return PushPicture(frame, inClip);
}

int Converter::PushPicture(AVFrame* frame, double time) {
  const AVStream* stream = input_.context->streams[vIndex_];
  PictureInput input;
  input.width = frame->width;
  input.height = frame->height;
  input.format = frame->format;
  input.sampleAspect = av_guess_sample_aspect_ratio(input_.context, const_cast<AVStream*>(stream), frame);
  input.timeBase = stream->time_base;
  input.interlaced = frame->interlaced_frame != 0;
  input.topFieldFirst = frame->top_field_first != 0;
  AVRational rate = av_guess_frame_rate(input_.context, const_cast<AVStream*>(stream), nullptr);
  input.frameRate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0;
  input.rotation = rotation_;
  input.mirrored = mirrored_;
  if (!pictures_.Built() || !(input == pictureInput_)) {
    int result = StartPictures(input, time);
    if (result != kClipOk) return result;
  }
  frame->pts = std::llround(time / av_q2d(stream->time_base));
  if (!pictures_.Push(frame)) return Fail(kClipCannotRead, "A picture of the video cannot be converted");
  return DrainPictures();
}

// A graph for pictures of this input; the one before (another size or
// format) shows its last picture up to the new one's time.
int Converter::StartPictures(const PictureInput& input, double boundary) {
  const double tb = av_q2d(input_.context->streams[vIndex_]->time_base);
  if (pictures_.Built()) {
    if (!pictures_.Close(std::llround(boundary / tb))) return Fail(kClipCannotRead, "The pictures cannot be converted");
    int result = DrainPictures();
    if (result != kClipOk) return result;
  }
  std::string error;
  if (!pictures_.Build(input, t_, nextSlot_ / fps_, !fieldsChosen_ || keepFields_, &error))
    return Fail(kClipCannotRead, "The pictures cannot be converted: " + error);
  if (!fieldsChosen_) {
    fieldsChosen_ = true;
    keepFields_ = pictures_.KeepsFields();
  }
  pictureInput_ = input;
  return kClipOk;
}

int Converter::DrainPictures() {
  Frame picture;
  while (true) {
    if (!observer_->Continue()) return kClipCancelled;
    int got = pictures_.Pull(picture.frame);
    if (got == kGraphNeedsInput || got == kGraphEnded) return kClipOk;
    if (got < 0) return Fail(kClipCannotRead, "The pictures cannot be converted");
    int result = EncodePicture(picture.frame);
    av_frame_unref(picture.frame);
    if (result != kClipOk) return result;
  }
}

int Converter::EncodePicture(AVFrame* picture) {
  if (vEnc_.context == nullptr && !OpenVideoEncoder(keepFields_, pictures_.TopFieldFirst()))
    return Fail(kClipCannotWrite, "The MPEG video encoder cannot be set up");
  picture->pts = nextSlot_;
  picture->pict_type = AV_PICTURE_TYPE_NONE;
  int error = avcodec_send_frame(vEnc_.context, picture);
  if (error < 0) return Fail(kClipCannotWrite, "The video encoder failed (" + ErrorText(error) + ")");
  int64_t bytes = 0;
  int result = Drain(vEnc_.context, &video_, &bytes);
  ++nextSlot_;
  observer_->Progress(std::min(ClipLength(), nextSlot_ / fps_));
  return result;
}

// The last picture lasts to the clip's end; then the encoder's last ones.
int Converter::EndPictures() {
  if (haveBefore_) {  // the clip lies wholly between two pictures
    int result = PushPicture(before_.frame, beforeTime_);
    haveBefore_ = false;
    if (result != kClipOk) return result;
  }
  if (!pictures_.Built()) return kClipOk;
  const double tb = av_q2d(input_.context->streams[vIndex_]->time_base);
  if (!pictures_.Close(std::llround(ClipLength() / tb))) return Fail(kClipCannotRead, "The pictures cannot be converted");
  int result = DrainPictures();
  if (result != kClipOk || vEnc_.context == nullptr) return result;
  avcodec_send_frame(vEnc_.context, nullptr);
  int64_t bytes = 0;
  return Drain(vEnc_.context, &video_, &bytes);
}

// ---- Sound --------------------------------------------------------------------

int Converter::OnSound(AVFrame* frame) {
  if (audioDone_) return kClipOk;
  double time = FrameTime(frame, input_.context->streams[aIndex_]);
  if (std::isnan(time)) time = r_.start + soundEnd_;  // no time: right after the last
  double inClip = time - r_.start;
  double length = static_cast<double>(frame->nb_samples) / frame->sample_rate;
  reached_ = std::max(reached_, inClip + length);
  if (inClip + length <= 0) return kClipOk;  // wholly before the clip
  if (inClip >= ClipLength()) {
    audioDone_ = true;
    return kClipOk;
  }
  SoundInput input;
  input.sampleRate = frame->sample_rate;
  input.format = frame->format;
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) av_channel_layout_default(&input.layout, frame->ch_layout.nb_channels);
  else av_channel_layout_copy(&input.layout, &frame->ch_layout);
  if (!sound_.Built() || !(input == soundInput_)) {
    // The shape of the sound changed (or it begins): the frames so far go
    // out through the old graph, the new one takes over where they end.
    if (sound_.Built()) {
      if (!sound_.Close(std::llround(soundEnd_ * soundInput_.sampleRate)))
        return Fail(kClipCannotRead, "The audio cannot be converted");
      int result = DrainSound();
      if (result != kClipOk) return result;
    }
    std::string error;
    // Where the new graph's sound begins, in the input's samples.
    int64_t first = av_rescale(samplesTaken_, input.sampleRate, t_.sampleRate);
    if (!sound_.Build(input, t_.sampleRate, aEnc_.context->sample_fmt, first, &error))
      return Fail(kClipCannotRead, "The audio cannot be converted: " + error);
    av_channel_layout_uninit(&soundInput_.layout);
    soundInput_ = input;
    av_channel_layout_copy(&soundInput_.layout, &input.layout);
  }
  av_channel_layout_uninit(&input.layout);
  // A long hole (or a late start) is filled here, a piece at a time; the
  // graph fills short ones.
  if (inClip - soundEnd_ > 0.5) {
    int result = FillSilence(inClip);
    if (result != kClipOk) return result;
  }
  int result = PushSound(frame, std::llround(inClip * frame->sample_rate));
  soundEnd_ = std::max(soundEnd_, inClip + length);
  return result;
}

int Converter::PushSound(AVFrame* frame, int64_t pts) {
  frame->pts = pts;
  if (!sound_.Push(frame)) return Fail(kClipCannotRead, "The audio cannot be converted");
  return DrainSound();
}

// Silence in the graph's input format from where the sound ends to until.
int Converter::FillSilence(double until) {
  const int rate = soundInput_.sampleRate;
  int64_t from = std::llround(soundEnd_ * rate), to = std::llround(until * rate);
  Frame silence;
  while (from < to) {
    if (!observer_->Continue()) return kClipCancelled;
    int n = static_cast<int>(std::min<int64_t>(to - from, rate / 10));
    av_frame_unref(silence.frame);
    silence.frame->format = soundInput_.format;
    silence.frame->sample_rate = rate;
    silence.frame->nb_samples = n;
    if (av_channel_layout_copy(&silence.frame->ch_layout, &soundInput_.layout) < 0 ||
        av_frame_get_buffer(silence.frame, 0) < 0)
      return Fail(kClipCannotRead, "Out of memory");
    av_samples_set_silence(silence.frame->extended_data, 0, n, soundInput_.layout.nb_channels,
                           static_cast<AVSampleFormat>(soundInput_.format));
    int result = PushSound(silence.frame, from);
    if (result != kClipOk) return result;
    from += n;
  }
  soundEnd_ = std::max(soundEnd_, until);
  return kClipOk;
}

int Converter::DrainSound() {
  Frame sound;
  while (true) {
    if (!observer_->Continue()) return kClipCancelled;
    int got = sound_.Pull(sound.frame);
    if (got == kGraphNeedsInput || got == kGraphEnded) return kClipOk;
    if (got < 0) return Fail(kClipCannotRead, "The audio cannot be converted");
    int result = TakeSound(sound.frame);
    av_frame_unref(sound.frame);
    if (result != kClipOk) return result;
  }
}

// Converted sound into the encoder's queue, no further than the pictures go.
int Converter::TakeSound(AVFrame* frame) {
  int n = static_cast<int>(std::min<int64_t>(frame->nb_samples, samplesLimit_ - samplesTaken_));
  if (n <= 0) return kClipOk;
  if (av_audio_fifo_write(fifo_, reinterpret_cast<void**>(frame->extended_data), n) < n)
    return Fail(kClipCannotRead, "Out of memory");
  samplesTaken_ += n;
  return EncodeSound(false);
}

int Converter::EncodeSound(bool flush) {
  AVCodecContext* a = aEnc_.context;
  const int size = a->frame_size;
  Frame frame;
  while (av_audio_fifo_size(fifo_) >= size || (flush && av_audio_fifo_size(fifo_) > 0)) {
    av_frame_unref(frame.frame);
    frame.frame->format = a->sample_fmt;
    frame.frame->sample_rate = a->sample_rate;
    frame.frame->nb_samples = size;
    if (av_channel_layout_copy(&frame.frame->ch_layout, &a->ch_layout) < 0 || av_frame_get_buffer(frame.frame, 0) < 0)
      return Fail(kClipCannotWrite, "Out of memory");
    int n = av_audio_fifo_read(fifo_, reinterpret_cast<void**>(frame.frame->extended_data), size);
    if (n < size)  // the last frame is filled with silence
      av_samples_set_silence(frame.frame->extended_data, n, size - n, 2, a->sample_fmt);
    frame.frame->pts = samplesOut_;
    samplesOut_ += size;
    ++audioFrames_;
    int error = avcodec_send_frame(a, frame.frame);
    if (error < 0) return Fail(kClipCannotWrite, "The audio encoder failed (" + ErrorText(error) + ")");
    int64_t bytes = 0;
    int result = Drain(a, &audio_, &bytes);
    if (result != kClipOk) return result;
  }
  if (!flush) return kClipOk;
  avcodec_send_frame(a, nullptr);
  int64_t bytes = 0;
  return Drain(a, &audio_, &bytes);
}

// The sound lasts as long as the pictures: what the graph still holds,
// then silence, a frame at a time.
int Converter::EndSound() {
  if (sound_.Built()) {
    if (!sound_.Close(std::llround(soundEnd_ * soundInput_.sampleRate)))
      return Fail(kClipCannotRead, "The audio cannot be converted");
    int result = DrainSound();
    if (result != kClipOk) return result;
  }
  samplesLimit_ = std::llround(nextSlot_ / fps_ * t_.sampleRate);
  const int size = aEnc_.context->frame_size;
  std::vector<uint8_t> zeros;
  Frame silence;
  silence.frame->format = aEnc_.context->sample_fmt;
  silence.frame->sample_rate = t_.sampleRate;
  silence.frame->nb_samples = size;
  if (av_channel_layout_copy(&silence.frame->ch_layout, &aEnc_.context->ch_layout) < 0 ||
      av_frame_get_buffer(silence.frame, 0) < 0)
    return Fail(kClipCannotWrite, "Out of memory");
  av_samples_set_silence(silence.frame->extended_data, 0, size, 2, aEnc_.context->sample_fmt);
  while (samplesTaken_ < samplesLimit_) {
    if (!observer_->Continue()) return kClipCancelled;
    silence.frame->nb_samples = static_cast<int>(std::min<int64_t>(size, samplesLimit_ - samplesTaken_));
    int result = TakeSound(silence.frame);
    if (result != kClipOk) return result;
  }
  return EncodeSound(true);
}

int Converter::Drain(AVCodecContext* encoder, OutputFile* file, int64_t* bytes) {
  Packet packet;
  while (true) {
    int error = avcodec_receive_packet(encoder, packet.packet);
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return kClipOk;
    if (error < 0) return Fail(kClipCannotWrite, "The encoder failed (" + ErrorText(error) + ")");
    *bytes += packet.packet->size;
    bool ok = file->Write(packet.packet);
    av_packet_unref(packet.packet);
    if (!ok) return Fail(kClipCannotWrite, "The stream cannot be written");
  }
}

int Converter::Run(ConvertReport* report) {
  if (!video_.Open() || !audio_.Open()) return Fail(kClipCannotWrite, "The output streams cannot be created");
  if (OpenInput(r_.input, &input_, reason_) < 0) return kClipCannotRead;
  AVFormatContext* fc = input_.context;
  const AVCodec* unused = nullptr;
  vIndex_ = BestStream(fc, AVMEDIA_TYPE_VIDEO, &unused);
  aIndex_ = BestStream(fc, AVMEDIA_TYPE_AUDIO, &unused);
  double duration = DurationOf(fc, vIndex_);
  std::string unusable = Unusable(fc, vIndex_, aIndex_, duration);
  if (!unusable.empty()) return Fail(kClipUnsupported, unusable);
  std::string cut = CutShort(fc, vIndex_, duration);
  if (!cut.empty()) return Fail(kClipCannotRead, cut);
  if (!OpenDecoder(vIndex_, &vDec_) || !OpenDecoder(aIndex_, &aDec_))
    return Fail(kClipUnsupported, "The file's streams cannot be decoded");
  if (!OpenAudioEncoder()) return Fail(kClipCannotWrite, "The audio encoder cannot be set up");
  zero_ = StartOf(fc);
  fps_ = static_cast<double>(t_.rateNum) / t_.rateDen;
  clipEnd_ = r_.stop > r_.start ? std::min(r_.stop, duration) : duration;
  if (r_.start >= clipEnd_) return Fail(kClipNothingInRange, "The clip starts after the end of the file");
  samplesLimit_ = std::llround(std::llround(ClipLength() * fps_) / fps_ * t_.sampleRate);
  for (unsigned i = 0; i < fc->nb_streams; ++i)
    fc->streams[i]->discard = static_cast<int>(i) == vIndex_ || static_cast<int>(i) == aIndex_ ? AVDISCARD_DEFAULT
                                                                                                 : AVDISCARD_ALL;
  ReadOrientation();
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
  // A file whose streams both end well before its own length is cut short
  // or damaged; a video that ends before its sound is held.
  if (!videoDone_ && !audioDone_ && reached_ < ClipLength() - 1.0)
    return Fail(kClipCannotRead, "The file ends after " + std::to_string(static_cast<int>(r_.start + reached_)) +
                                     " s of " + std::to_string(static_cast<int>(clipEnd_)) +
                                     " s: the file is cut short or damaged");
  if ((result = EndPictures()) != kClipOk) return result;
  if (nextSlot_ == 0) return Fail(kClipNothingInRange, "No picture of the video lies in the clip");
  if ((result = EndSound()) != kClipOk) return result;
  if (!video_.Keep() || !audio_.Keep()) return Fail(kClipCannotWrite, "The output streams cannot be written");
  observer_->Progress(ClipLength());
  report->videoFrames = static_cast<int>(nextSlot_);
  report->audioFrames = audioFrames_;
  report->seconds = nextSlot_ / fps_;
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
