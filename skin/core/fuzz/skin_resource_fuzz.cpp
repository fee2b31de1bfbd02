// libFuzzer target: a stored skin resource (u32 length + LZO1X data).
#include <cstddef>
#include <cstdint>

#include "skin/core/fuzz/skin_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    SkinMemoryStream source(size ? data : nullptr, uint32_t(size));
    SkinPackage package;
    if (package.Read(source))
        ExerciseLoadedSkin(package);
    return 0;
}
