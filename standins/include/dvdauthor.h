// The DVD authoring library "DVDAuthorDLL": its entry AuthorDVD lays out the
// VIDEO_TS folder of a DVD-Video disc from a list of MPEG program streams.
//
//   int32_t OUTSIDE_CALL AuthorDVD(void* params);   // params: AuthorDvdParams*
//
// The call copies the block and returns at once: 0 when the work was started
// (it then runs on a thread of the library), -1 when the block is unusable
// (then code 0 is posted too, when there is a window). Progress and the end
// are posted to params->window as kAuthorDvdMessage (wParam code, lParam
// percent): any number of kAuthorVobPercent, then any number of
// kAuthorImagePercent, then kAuthorFinished and kAuthorImageMade; or
// kAuthorFailed at any point, after which nothing more is posted.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "standins/include/outside_abi.h"

enum { kAuthorDvdMessage = 1824 };

// wParam of kAuthorDvdMessage.
enum {
  kAuthorFailed = 0,        // ended without an image
  kAuthorVobPercent = 1,    // lParam: VOB building percent
  kAuthorImagePercent = 2,  // lParam: information file building percent
  kAuthorFinished = 3,      // the work is over
  kAuthorImageMade = 6,     // VIDEO_TS is complete
};

// The block handed to AuthorDVD. The program streams are a plain array of
// C strings (a class object cannot cross the library boundary safely).
typedef struct AuthorDvdParams {
  void* window;               // HWND that receives kAuthorDvdMessage
  const char* const* files;   // program streams in title order, then NULL
  char outputFolder[1024];    // the disc folder, ending in a backslash
  int32_t tvType;             // 0 NTSC, 1 PAL
  int32_t aspect;             // 0 4:3, 1 16:9
  int32_t letterBox;          // 0 or 1
} AuthorDvdParams;

#if OUTSIDE_LAYOUT_32
static_assert(offsetof(AuthorDvdParams, files) == 4, "AuthorDvdParams layout");
static_assert(offsetof(AuthorDvdParams, outputFolder) == 8, "AuthorDvdParams layout");
static_assert(offsetof(AuthorDvdParams, tvType) == 1032, "AuthorDvdParams layout");
static_assert(sizeof(AuthorDvdParams) == 1044, "AuthorDvdParams layout");
#endif

typedef int32_t(OUTSIDE_CALL* AuthorDvdFn)(void* params);

#define DVDAUTHOR_LIBRARY_NAME "DVDAuthorDLL"
#define DVDAUTHOR_ENTRY_NAME "AuthorDVD"
