// ConverterApp: the converter's application object. InitInstance prepares
// the platform (DirectX check, the conversion control's filter libraries,
// the multiplexer, the skin), reads the settings, asks for the disc type
// and runs the main window; the program ends when that window closes.
#pragma once

#include "mfc/mfc.h"

class ConverterApp : public CWinApp {
public:
  ConverterApp();

  BOOL InitInstance() override;
  int ExitInstance() override;

  CString m_appTitle;     // "Zephon Video to %s Converter ", for the About box
  int m_skinStarted = 0;  // 1 once the skin library was started
};
