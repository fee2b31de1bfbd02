#include "standins/dvdauthor/picture_timeline.h"

#include <algorithm>

namespace {

const uint8_t kPictureStart = 0x00;
const uint8_t kGopStart = 0xB8;
const int64_t kUnknown = INT64_MIN;

}  // namespace

void PictureTimeline::Feed(int64_t pack, const uint8_t* payload, size_t length, bool hasPts, int64_t pts) {
  m_previous = m_current;
  m_current = PayloadStamp{pack, hasPts, pts};
  for (size_t i = 0; i < length; ++i) {
    const uint8_t byte = payload[i];
    if (m_headerBytesWanted > 0) {
      m_headerBits = static_cast<uint16_t>(m_headerBits << 8 | byte);
      if (--m_headerBytesWanted == 0) PictureHeader(m_headerBits >> 6);
    }
    m_shift = m_shift << 8 | byte;
    // A start code that began in the previous payload belongs to it.
    if ((m_shift & 0xFFFFFF00u) == 0x00000100u) StartCode(byte, i >= 3 ? &m_current : &m_previous);
  }
}

void PictureTimeline::StartCode(uint8_t code, PayloadStamp* where) {
  if (code == kGopStart) {
    if (m_gopHasPictures) ++m_gop;
    m_gopHasPictures = false;
    m_lastReference = -1;
    m_wraps = 0;
    return;
  }
  if (code != kPictureStart) return;
  Picture picture;
  picture.pack = where->pack;
  picture.gop = m_gop;
  if (where->hasPts) {
    picture.stamped = true;
    picture.pts = where->pts;
    where->hasPts = false;  // later pictures of the payload have no stamp of their own
  }
  m_pictures.push_back(picture);
  m_gopHasPictures = true;
  m_headerBytesWanted = 2;
  m_headerBits = 0;
}

void PictureTimeline::PictureHeader(int temporalReference) {
  // Without GOP headers the 10-bit reference counts on across wraps.
  if (m_lastReference >= 0 && temporalReference < m_lastReference - 512) ++m_wraps;
  m_lastReference = temporalReference;
  m_pictures.back().displayIndex = temporalReference + 1024 * m_wraps;
}

void PictureTimeline::Resolve(int64_t frameTicks) {
  if (m_pictures.empty()) return;
  const size_t gops = static_cast<size_t>(m_pictures.back().gop + 1);
  // Each GOP's start: where its display index 0 is shown, from its first
  // stamped picture; and how many pictures it shows.
  std::vector<int64_t> base(gops, kUnknown), shown(gops, 0);
  for (const Picture& picture : m_pictures) {
    const size_t g = static_cast<size_t>(picture.gop);
    shown[g] = std::max(shown[g], picture.displayIndex + 1);
    if (picture.stamped && base[g] == kUnknown) base[g] = picture.pts - picture.displayIndex * frameTicks;
  }
  // GOPs without a stamp follow the one before, or precede the one after.
  size_t known = 0;
  while (known < gops && base[known] == kUnknown) ++known;
  if (known == gops) {
    known = 0;
    base[0] = 0;
  }
  for (size_t g = known + 1; g < gops; ++g)
    if (base[g] == kUnknown) base[g] = base[g - 1] + shown[g - 1] * frameTicks;
  for (size_t g = known; g-- > 0;) base[g] = std::max<int64_t>(0, base[g + 1] - shown[g] * frameTicks);
  for (Picture& picture : m_pictures)
    if (!picture.stamped) picture.pts = base[static_cast<size_t>(picture.gop)] + picture.displayIndex * frameTicks;
}
