// The builder's front end: turns one parameter block into one image. The
// base keeps what every run needs for its messages (program name, the XML
// output forms, libxml2's error routing); CVcdFrontEnd owns the block copy,
// the image sinks and the run itself.
#pragma once

#include <cstdio>
#include <string>

#include "discimage/run/vcd_build_params.h"
#include "discimage/base/vcd_messages.h"

class CVcdImage;
class CVcdObj;
class CVcdXmlData;

// Splits a version text "a.b.c.d" into major "a.b", minor "c" and micro "d":
// micro is what follows the last dot, minor what follows the dot before it.
// A part without its dot stays empty.
void VcdSplitVersion(const char* version, std::string* major, std::string* minor,
                     std::string* micro);

// The path with the extension of its last component (from its last '.')
// replaced by extension, which may be "" to remove it. Both '/' and '\\'
// separate components, whatever the platform.
std::string VcdReplaceExtension(const std::string& path, const char* extension);

// What the scans of the build take from the options besides the project.
struct VcdScanFlags {
  int updateScanOffsets;  // rewrite the SVCD scan data of the packets
  int relaxedAps;         // any I picture with a PTS is an access point
};

// One option element of the project, by its name (any case): booleans take
// "true" or "false" (any case), numbers base 10. 0 applied; -1 no or
// unknown name, -2 missing or bad value: both warned, and the option is
// skipped (a number with trailing characters is not taken as 0).
int VcdApplyOption(CVcdObj* project, CVcdMessageSink* messages, const char* name,
                   const char* value, VcdScanFlags* flags);

class CVcdFrontEndBase : public CVcdMessageSink {
public:
  // Becomes the calling thread's current front end and routes libxml2's
  // generic errors to it until destroyed.
  CVcdFrontEndBase();
  ~CVcdFrontEndBase() override;

  // With the XML progress flag: one <progress .../> line; else the records
  // or texts of the message layer.
  int ReportScanProgress(const VcdScanState* state) override;
  int ReportWriteProgress(const VcdWriteState* state) override;
  // The about text, the version record or the <version .../> line.
  virtual int ReportVersion();

  void SetXmlProgress(int xmlProgress) { m_xmlProgress = xmlProgress; }
  int GetXmlProgress() const { return m_xmlProgress; }
  void SetProgramName(const char* name) { m_programName = name ? name : ""; }
  const char* GetProgramName() const { return m_programName.c_str(); }
  // The about text: first line "<program> 6.0.7.10(win32)", then credits.
  std::string AboutText() const;

  // The front end that libxml2's messages on this thread go to, or NULL.
  static CVcdFrontEndBase* Current();

protected:
  int m_xmlProgress;          // non-zero: progress and version as XML lines
  std::string m_programName;  // "UNSET" until a run begins
  FILE* m_errorContext;       // temporary file given to libxml2 as the handler's context

private:
  CVcdFrontEndBase* m_previous;  // current front end of this thread before this one
};

class CVcdFrontEnd : public CVcdFrontEndBase {
public:
  // Copies the block (NULL: no block, and Prepare fails); the path fields of
  // the copy are always terminated.
  explicit CVcdFrontEnd(const VcdBuildParams* params);
  ~CVcdFrontEnd() override;

  // 0 success or a print-only mode ran, 1 failure.
  int Run();
  // 0 ready to build, 1 failure, -1 a print-only mode ran.
  int Prepare();
  // The brief usage or the full help, as plain texts.
  void PrintHelp(bool brief);

  const VcdBuildParams* GetParams() const { return m_params; }
  const char* GetXmlPath() const { return m_xmlPath.c_str(); }
  CVcdImage* GetCueSink() const { return m_cueSink; }
  CVcdImage* GetImageSink() const { return m_imageSink; }

  // Test seam: called by Run once Prepare has succeeded, before the build.
  typedef void (*BuildHook)(CVcdFrontEnd& frontEnd);
  static void SetBuildHookForTests(BuildHook hook);

protected:
  // Creates the cue sheet and image sinks for the block's image type:
  // 0 created, 1 failed (reported).
  int CreateSinks();
  // Sets an option of a sink just created: 0, or 1 when the sink refused it
  // (reported).
  int SetSinkOption(CVcdImage* sink, const char* name, const char* value);
  // Reads the XML project, creates the project object and builds: 0 done,
  // 1 failed (reported).
  int BuildImage();
  // Hands the description to the project, lays the image out and writes
  // it; reports the final text. 0 or 1.
  int Build(CVcdXmlData* data, CVcdObj* project);
  // The steps of Build: 0, or 1 after a failure was reported.
  int ApplyOptions(CVcdXmlData* data, CVcdObj* project, VcdScanFlags* flags);
  int AddFileSystem(CVcdXmlData* data, CVcdObj* project);
  int AddSegmentItems(CVcdXmlData* data, CVcdObj* project, const VcdScanFlags& flags);
  int AddSequenceItems(CVcdXmlData* data, CVcdObj* project, const VcdScanFlags& flags);
  void DestroySinks();

  VcdBuildParams* m_params;  // owned copy of the caller's block, or NULL
  CVcdImage* m_cueSink;      // cue sheet or TOC sink (owned)
  CVcdImage* m_imageSink;    // image sink (owned; the same object for nrg)
  std::string m_xmlPath;     // XML project path, kept by Prepare
};
