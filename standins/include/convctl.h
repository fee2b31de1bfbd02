// The ActiveX conversion control as the programs see it: its class
// identifier, its dispatch ids, its events and its profile numbers. The
// programs call it through the wrapper CMPEGCreatorObj (suite/); the
// stand-in (standins/convctl/, "MPEGCreator.dll") answers the same ids.
#pragma once

#include <windows.h>

// {D81ADC49-B724-468C-89FC-D39AEB8A9956}
static const CLSID CLSID_ConversionControl = {
    0xD81ADC49, 0xB724, 0x468C, {0x89, 0xFC, 0xD3, 0x9A, 0xEB, 0x8A, 0x99, 0x56}};
#define CONVERSION_CONTROL_CLSID_TEXT "{D81ADC49-B724-468C-89FC-D39AEB8A9956}"

// The control's own dispinterface and its outgoing (event) dispinterface.
static const IID DIID_ConversionControl = {
    0x6A1E5B0C, 0x3F7D, 0x4E2A, {0x9C, 0x41, 0x8D, 0x2B, 0x7F, 0x0E, 0x5A, 0x13}};
static const IID DIID_ConversionControlEvents = {
    0x6A1E5B0D, 0x3F7D, 0x4E2A, {0x9C, 0x41, 0x8D, 0x2B, 0x7F, 0x0E, 0x5A, 0x13}};

// Dispatch ids of the properties and methods.
enum ConversionDispId {
  kConvDispAudioBitRate = 1,  // put long
  kConvDispFlag2 = 2,         // put BOOL
  kConvDispTotalTime = 3,     // get double
  kConvDispGetFileInfo = 6,   // method (BSTR, double*, double*, BOOL*, BOOL*, long*, long*, long*, BSTR*)
  kConvDispOutputFile = 10,   // put string
  kConvDispProfile = 14,      // put long
  kConvDispFlag16 = 16,       // put BOOL
  kConvDispPosition = 17,     // get double
  kConvDispFlag18 = 18,       // put BOOL
  kConvDispInputFile = 20,    // get / put string
  kConvDispStart = 21,        // method, BOOL result
  kConvDispStartTime = 22,    // put double (seconds)
  kConvDispStopTime = 23,     // put double (seconds)
  kConvDispStop = 24,         // method
  kConvDispFlag26 = 26,       // put BOOL
  kConvDispVideoBitRate = 27, // put long
};

// Events (dispatch ids on the outgoing interface).
enum ConversionEventId {
  kConvEventStarted = 1,   // no arguments
  kConvEventFinished = 2,  // no arguments: both streams are written
  kConvEventStatus = 3,    // (long code, BSTR text)
  kConvEventError = 4,     // (long code, BSTR text)
};

// Profiles: disc type and TV system of the streams to make.
enum ConversionProfile {
  kConvProfileVcdNtsc = 1,
  kConvProfileVcdPal = 2,
  kConvProfileSvcdNtsc = 4,
  kConvProfileSvcdPal = 5,
  kConvProfileDvdNtsc = 6,
  kConvProfileDvdPal = 7,
};
