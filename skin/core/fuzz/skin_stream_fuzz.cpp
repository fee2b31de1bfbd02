// libFuzzer target: an unpacked skin stream (header, objects, images,
// sounds), reaching the body readers without the packing in the way.
#include <cstddef>
#include <cstdint>

#include "skin/core/fuzz/skin_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    SkinMemoryStream stream(size ? data : nullptr, uint32_t(size));
    SkinPackage package;
    if (package.ReadStream(stream))
        ExerciseLoadedSkin(package);
    return 0;
}
