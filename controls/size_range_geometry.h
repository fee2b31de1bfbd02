// Geometry of the disc capacity scale: where its ticks, labels, markers
// and bar segments stand for a window of a given size. Pure arithmetic,
// tested without a window. Every position is truncated to whole pixels;
// a scale without a positive maximum or width places nothing.
#pragma once

#include <climits>
#include <vector>

namespace quorbel_controls {

// Pixels per scale unit for a window width and a scale maximum.
class SizeRangeScale {
public:
  SizeRangeScale(int width, int maximum)
      : valid_(width > 0 && maximum > 0), scale_(valid_ ? static_cast<double>(width) / maximum : 0.0) {}

  bool Valid() const { return valid_; }
  double PixelsPerUnit() const { return scale_; }
  // The pixel column of a scale position (truncated, kept inside int).
  int X(double position) const { return Truncate(position * scale_); }

  static int Truncate(double v) {
    if (!(v == v)) return 0;  // NaN
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
  }

private:
  bool valid_;
  double scale_;
};

// Short unlabelled ticks: i × step for i from 0 while i < maximum / step
// (integer division). None for a step or maximum of 0 or less.
inline std::vector<int> SizeRangeShortTicks(int width, int maximum, int tickStep) {
  std::vector<int> xs;
  SizeRangeScale scale(width, maximum);
  if (!scale.Valid() || tickStep <= 0) return xs;
  int count = maximum / tickStep;
  for (int i = 0; i < count; ++i) xs.push_back(scale.X(static_cast<double>(i) * tickStep));
  return xs;
}

struct SizeRangeLabel {
  int x;      // the label's line and the centre of its text
  int value;  // i × label step
};

// Labelled ticks: i × step for i from 0 to maximum / step inclusive, but
// only those left of 95 % of the width (so the end label is normally not
// drawn).
inline std::vector<SizeRangeLabel> SizeRangeLabels(int width, int maximum, int labelStep) {
  std::vector<SizeRangeLabel> labels;
  SizeRangeScale scale(width, maximum);
  if (!scale.Valid() || labelStep <= 0) return labels;
  int count = maximum / labelStep;
  for (int i = 0; i <= count; ++i) {
    double value = static_cast<double>(i) * labelStep;
    int x = scale.X(value);
    if (x < 0.95 * width) labels.push_back({x, static_cast<int>(value)});
  }
  return labels;
}

// Where a label's text of that width is centred: on its line, but never
// so far left that the text would be cut at the window's left edge.
inline int SizeRangeTextCentre(int x, int textWidth) { return x < (textWidth + 1) / 2 ? (textWidth + 1) / 2 : x; }

// Heights of the parts, as fractions of the window height.
struct SizeRangeHeights {
  int shortTick;  // 0.2 h: short ticks run from the top to here
  int labelTick;  // 0.5 h: labelled ticks
  int labelTop;   // 0.6 h: top of the label texts
  int barTop;     // 0.1 h
  int barHeight;  // 0.3 h
};

inline SizeRangeHeights ComputeSizeRangeHeights(int height) {
  return {SizeRangeScale::Truncate(0.2 * height), SizeRangeScale::Truncate(0.5 * height),
          SizeRangeScale::Truncate(0.6 * height), SizeRangeScale::Truncate(0.1 * height),
          SizeRangeScale::Truncate(0.3 * height)};
}

struct SizeRangeBox {
  int x, y, cx, cy;
};

// One colour band's part of the bar: a dark shadow one pixel down and
// right, then the band itself.
struct SizeRangeBarPart {
  int band;  // index of the band
  SizeRangeBox shadow;
  SizeRangeBox fill;
};

// The bar for a value: each band (in order; later ones paint over earlier
// ones) whose start is at most the value, from its start to the value.
// The value counts at most up to the maximum.
inline std::vector<SizeRangeBarPart> SizeRangeBar(int width, int height, int maximum, int value,
                                                  const std::vector<int>& bandStarts) {
  std::vector<SizeRangeBarPart> parts;
  SizeRangeScale scale(width, maximum);
  if (!scale.Valid()) return parts;
  int v = value < maximum ? value : maximum;
  SizeRangeHeights h = ComputeSizeRangeHeights(height);
  int end = scale.X(v);
  for (size_t i = 0; i < bandStarts.size(); ++i) {
    if (bandStarts[i] > v) continue;
    int x0 = scale.X(bandStarts[i]);
    int w = end - x0;
    parts.push_back({static_cast<int>(i), {x0 + 1, h.barTop + 1, w + 1, h.barHeight + 1},
                     {x0, h.barTop, w, h.barHeight}});
  }
  return parts;
}

}  // namespace quorbel_controls
