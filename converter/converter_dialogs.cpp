#include "converter/converter_dialogs.h"

const char kMakerHomePage[] = "http://www.quorbel.example/";
const char kMakerSupport[] = "mailto:support@quorbel.example";

const DiscTypeDialogIds kConverterDiscTypeIds = {
    IDD_CONVERTER_DISC_TYPE, {IDC_DISC_VCD, IDC_DISC_SVCD, IDC_DISC_DVD},
    IDB_CONVERTER_NOT_CHOSEN, IDB_CONVERTER_CHOSEN, false};

const AboutDialogIds kConverterAboutIds = {
    IDD_CONVERTER_ABOUT, IDC_ABOUT_VERSION, IDC_ABOUT_HOMEPAGE, IDC_ABOUT_SUPPORT,
    kMakerHomePage, kMakerSupport, 10, true, false, false};
