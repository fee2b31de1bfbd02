// Vantrel.exe: the disc creator. Its one application object; the
// framework's WinMain runs it.
#include "creator/app_creator.h"

CreatorApp theApp;
