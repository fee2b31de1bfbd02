// Quorbel.exe: the launcher's one application object.
#include "launcher/launcher_app.h"

LauncherApp theApp;
