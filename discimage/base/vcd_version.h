// Version and name texts of the image builder.
#pragma once

#define VCD_VERSION_TEXT "6.0.7.10"
#define VCD_PLATFORM_TEXT "win32"
#define VCD_PROGRAM_NAME "zrDiscBuild"
// Name of the front end before a run has begun.
#define VCD_UNSET_PROGRAM_NAME "UNSET"
// The library's short name, as written into generated files.
#define VCD_SHORT_NAME_TEXT "zrDiscImage " VCD_VERSION_TEXT "(" VCD_PLATFORM_TEXT ")"
