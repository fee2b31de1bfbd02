// An authoring library for the disc programs' tests: AuthorDVD returns a
// failure and posts nothing, as a library that fails before its work starts.
#include "standins/include/dvdauthor.h"

extern "C" int32_t OUTSIDE_CALL AuthorDVD(void*) { return 7; }
