// The layout steps of the image size. Until the layout of track 1 is part of
// the builder, a project reports that it cannot lay an image out, and the
// size (and with it the build) fails cleanly.
#include "discimage/vcd_messages.h"
#include "discimage/vcd_project.h"

int CVcdObj::LayOutTrack1() {
  m_messages->Error("laying out the image is not part of this build of the builder");
  return 1;
}

int CVcdObj::ResolveEntryPoints() { return 0; }
