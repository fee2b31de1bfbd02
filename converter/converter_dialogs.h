// The converter's ids for the suite's small dialogs: the disc-type chooser
// shown once at start and the About box (the "please wait" window is the
// suite's ScanWaitDialog on template 150, text 1016).
#pragma once

#include "converter/res/converter_resource.h"
#include "suite/disc_type_dialog.h"
#include "suite/about_dialog.h"
#include "suite/scan_wait_dialog.h"
#include "mfc/mfc.h"

// "Select Disc Type" (155): pictures 1047 VCD, 1046 SVCD, 1045 DVD, only
// the VCD picture restyled; bitmap 158 not chosen, 159 chosen.
extern const DiscTypeDialogIds kConverterDiscTypeIds;

// About (100): "About " + the application title, the title and the version
// in 1065, links 1061 (home page) and 1063 (support).
extern const AboutDialogIds kConverterAboutIds;

// The maker's addresses (the About links and the Home button).
extern const char kMakerHomePage[];
extern const char kMakerSupport[];
