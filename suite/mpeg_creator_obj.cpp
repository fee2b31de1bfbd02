#include "suite/mpeg_creator_obj.h"

IMPLEMENT_DYNCREATE(CMPEGCreatorObj, CWnd)

const CLSID& CMPEGCreatorObj::GetClsid() {
  static const CLSID clsid = {0xD81ADC49, 0xB724, 0x468C, {0x89, 0xFC, 0xD3, 0x9A, 0xEB, 0x8A, 0x99, 0x56}};
  return clsid;
}

BOOL CMPEGCreatorObj::Create(LPCTSTR /*lpszClassName*/, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                             CWnd* pParentWnd, UINT nID, void* /*pContext*/) {
  return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMPEGCreatorObj::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CMPEGCreatorObj::SetAudioBitRate(long rate) { SetProperty(0x1, VT_I4, rate); }

void CMPEGCreatorObj::SetFlag2(BOOL value) { SetProperty(0x2, VT_BOOL, value); }

double CMPEGCreatorObj::GetTotalTime() {
  double result = 0;
  GetProperty(0x3, VT_R8, &result);
  return result;
}

void CMPEGCreatorObj::GetFileInfo(LPCTSTR path, double* value, double* duration, BOOL* flagA, BOOL* flagB,
                                  long* long1, long* long2, long* long3, BSTR* text) {
  *value = 0;
  *duration = 0;
  *flagA = FALSE;
  *flagB = FALSE;
  *long1 = *long2 = *long3 = 0;
  static const BYTE params[] = VTS_BSTR VTS_PR8 VTS_PR8 VTS_PBOOL VTS_PBOOL VTS_PI4 VTS_PI4 VTS_PI4 VTS_PBSTR;
  InvokeHelper(0x6, DISPATCH_METHOD, VT_EMPTY, NULL, params, path, value, duration, flagA, flagB, long1, long2,
               long3, text);
}

void CMPEGCreatorObj::SetOutputFile(LPCTSTR path) { SetProperty(0xA, VT_BSTR, path); }

void CMPEGCreatorObj::SetProfile(long profile) { SetProperty(0xE, VT_I4, profile); }

void CMPEGCreatorObj::SetFlag16(BOOL value) { SetProperty(0x10, VT_BOOL, value); }

double CMPEGCreatorObj::GetPosition() {
  double result = 0;
  GetProperty(0x11, VT_R8, &result);
  return result;
}

void CMPEGCreatorObj::SetFlag18(BOOL value) { SetProperty(0x12, VT_BOOL, value); }

CString CMPEGCreatorObj::GetInputFile() {
  CString result;
  GetProperty(0x14, VT_BSTR, &result);
  return result;
}

void CMPEGCreatorObj::SetInputFile(LPCTSTR path) { SetProperty(0x14, VT_BSTR, path); }

BOOL CMPEGCreatorObj::Start() {
  BOOL result = FALSE;
  InvokeHelper(0x15, DISPATCH_METHOD, VT_BOOL, &result, NULL);
  return result;
}

void CMPEGCreatorObj::SetStartTime(double seconds) { SetProperty(0x16, VT_R8, seconds); }

void CMPEGCreatorObj::SetStopTime(double seconds) { SetProperty(0x17, VT_R8, seconds); }

void CMPEGCreatorObj::Stop() { InvokeHelper(0x18, DISPATCH_METHOD, VT_EMPTY, NULL, NULL); }

void CMPEGCreatorObj::SetFlag26(BOOL value) { SetProperty(0x1A, VT_BOOL, value); }

void CMPEGCreatorObj::SetVideoBitRate(long rate) { SetProperty(0x1B, VT_I4, rate); }
