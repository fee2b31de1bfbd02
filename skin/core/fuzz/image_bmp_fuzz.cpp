// libFuzzer target: BMP decoding, then the operations a skin applies to a
// decoded image (crop, quarter turns, re-encoding).
#include "skin/core/fuzz/image_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return ExerciseImageCodec(data, size, CSkinImage::kFormatBmp);
}
