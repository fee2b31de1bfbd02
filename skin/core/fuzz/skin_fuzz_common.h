// What both skin loader fuzz targets do with a skin that loaded: every
// lookup, every property, and writing it back, which must read again.
#ifndef QUORBEL_SKIN_CORE_FUZZ_SKIN_FUZZ_COMMON_H
#define QUORBEL_SKIN_CORE_FUZZ_SKIN_FUZZ_COMMON_H

#include <cstdlib>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_package.h"

inline void ExerciseLoadedSkin(SkinPackage& package)
{
    for (uint32_t type = 0; type <= 45; ++type)
        package.FindObjectByType(type);
    package.FindObjectByType(kSkinGeneric);
    package.FindObject("Dialog");
    package.FindObject("DlgClose");
    package.FindImage("dialog.bmp");
    for (const auto& entry : package.Objects()) {
        SkinDataObject* object = entry.second.get();
        for (const auto& prop : object->Properties())
            object->FindProperty(prop.first.c_str());
        object->FindProperty("name");
        object->FindChild(kSkinCaptionButton, 0);
        object->FindChildByName("Close");
        object->SetRect(MakeSkinRect(0, 0, 300, 200));
        object->ReleaseGdi();
    }
    package.ResolveAll();

    SkinMemoryStream written;
    package.Write(written);
    SkinPackage again;
    if (!again.ReadStream(written) || again.Objects().size() != package.Objects().size() ||
        again.Images().size() != package.Images().size() || again.Sounds().size() != package.Sounds().size())
        std::abort();  // what the library writes, it must read back
}

#endif
