// The disc burner program: its one application object (WinMain is the
// class library's).
#include "burner/burner_app.h"

BurnerApp theApp;
