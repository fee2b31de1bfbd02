// Skarven.exe: the converter's one application object.
#include "converter/converter_app.h"

ConverterApp theApp;
