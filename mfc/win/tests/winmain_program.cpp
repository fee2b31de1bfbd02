// A program with nothing but its application object: the layer's WinMain
// runs it. Its exit code tells the test what ran.
#include <cstring>

#include "mfc/mfc.h"

namespace {

class ProgramApp : public CWinApp {
public:
  BOOL InitInstance() override {
    initRan_ = AfxGetApp() == this && AfxGetInstanceHandle() == m_hInstance;
    return FALSE;
  }
  int ExitInstance() override {
    CWinApp::ExitInstance();
    // 100 + the command line's length, + 50 when InitInstance saw itself.
    return 100 + static_cast<int>(std::strlen(m_lpCmdLine)) + (initRan_ ? 50 : 0);
  }

private:
  bool initRan_ = false;
};

ProgramApp theApp;

}  // namespace
