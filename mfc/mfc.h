// The MFC-compatible layer in one include: the portable core and, on
// Windows, windows, dialogs, controls, GDI, menus and the application.
#pragma once

#include "mfc/core.h"

#if defined(_WIN32)
#include "mfc/win/geometry.h"
#include "mfc/win/msgmap.h"
#include "mfc/win/gdi.h"
#include "mfc/win/imagelist.h"
#include "mfc/win/menu.h"
#include "mfc/win/wnd.h"
#include "mfc/win/app.h"
#include "mfc/win/dialog.h"
#include "mfc/win/controls.h"
#include "mfc/win/toolbar.h"
#include "mfc/win/filedialog.h"
#endif
