#include "discimage/vcd_frontend.h"

#include <cctype>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <libxml/xmlerror.h>

#include "discimage/vcd_stream.h"
#include "discimage/vcd_version.h"

#ifndef XMLCDECL
#define XMLCDECL
#endif

namespace {

thread_local CVcdFrontEndBase* t_currentFrontEnd = NULL;

CVcdFrontEnd::BuildHook g_buildHook = NULL;

// libxml2's generic error handler: its messages become error texts of the
// thread's current front end.
void XMLCDECL RouteXmlError(void* context, const char* format, ...) {
  CVcdFrontEndBase* frontEnd = CVcdFrontEndBase::Current();
  if (frontEnd == NULL) return;
  va_list args;
  va_start(args, format);
  char text[CVcdMessageSink::kTextSize];
  text[0] = '\0';
  if (format != NULL) vsnprintf(text, sizeof text, format, args);
  va_end(args);
  frontEnd->SendText(kVcdMsgError, text);
}

// Text for an XML attribute value between double quotes.
std::string XmlEscaped(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    switch (*p) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += *p;
    }
  }
  return out;
}

}  // namespace

void VcdSplitVersion(const char* version, std::string* major, std::string* minor,
                     std::string* micro) {
  std::string rest = version ? version : "";
  major->clear();
  minor->clear();
  micro->clear();
  size_t dot = rest.rfind('.');
  if (dot == std::string::npos) {
    *major = rest;
    return;
  }
  *micro = rest.substr(dot + 1);
  rest.erase(dot);
  dot = rest.rfind('.');
  if (dot == std::string::npos) {
    *major = rest;
    return;
  }
  *minor = rest.substr(dot + 1);
  *major = rest.substr(0, dot);
}

// ---------------------------------------------------------------------------
// CVcdFrontEndBase

CVcdFrontEndBase::CVcdFrontEndBase()
    : m_xmlProgress(0),
      m_programName(VCD_UNSET_PROGRAM_NAME),
      m_errorContext(tmpfile()),
      m_previous(t_currentFrontEnd) {
  t_currentFrontEnd = this;
  xmlSetGenericErrorFunc(m_errorContext, RouteXmlError);
}

CVcdFrontEndBase::~CVcdFrontEndBase() {
  t_currentFrontEnd = m_previous;
  if (m_previous != NULL)
    xmlSetGenericErrorFunc(m_previous->m_errorContext, RouteXmlError);
  else
    xmlSetGenericErrorFunc(NULL, NULL);
  if (m_errorContext != NULL) fclose(m_errorContext);
}

CVcdFrontEndBase* CVcdFrontEndBase::Current() { return t_currentFrontEnd; }

std::string CVcdFrontEndBase::AboutText() const {
  return m_programName + " " VCD_VERSION_TEXT "(" VCD_PLATFORM_TEXT ")\n"
         "Builds VideoCD and Super VideoCD disc images from a VideoCD XML project.\n"
         "Part of the Quorbel disc suite; free to use with the suite's programs.\n";
}

int CVcdFrontEndBase::ReportScanProgress(const VcdScanState* state) {
  if (!m_xmlProgress) return CVcdMessageSink::ReportScanProgress(state);
  if (state == NULL || !m_progress) return 0;
  ProgressText("<progress operation=\"scan\" id=\"%s\" position=\"%lld\" size=\"%lld\" />",
               XmlEscaped(state->name).c_str(), static_cast<long long>(state->position),
               static_cast<long long>(state->size));
  return 0;
}

int CVcdFrontEndBase::ReportWriteProgress(const VcdWriteState* state) {
  if (!m_xmlProgress) return CVcdMessageSink::ReportWriteProgress(state);
  if (state == NULL || !m_progress) return 0;
  ProgressText("<progress operation=\"write\" position=\"%ld\" size=\"%ld\" />\n",
               static_cast<long>(state->sectorsWritten), static_cast<long>(state->sectorsTotal));
  return 0;
}

int CVcdFrontEndBase::ReportVersion() {
  std::string about = AboutText();
  if (!HasWindow() && !m_xmlProgress) {
    SendText(kVcdMsgPlain, about.c_str());
    return 0;
  }
  std::string major, minor, micro;
  VcdSplitVersion(VCD_VERSION_TEXT, &major, &minor, &micro);
  if (HasWindow()) {
    VcdVersionRecord record;
    memset(&record, 0, sizeof record);
    record.about = about.c_str();
    record.program = m_programName.c_str();
    record.major = major.c_str();
    record.minor = minor.c_str();
    record.micro = micro.c_str();
    record.platform = VCD_PLATFORM_TEXT;
    SendRecord(kVcdMsgPlain, &record);
    return 0;
  }
  Send(kVcdMsgPlain,
       "<version program=\"%s\" major=\"%s\" minor=\"%s\" micro=\"%s\" platform=\"%s\" />\n",
       XmlEscaped(m_programName.c_str()).c_str(), major.c_str(), minor.c_str(), micro.c_str(),
       VCD_PLATFORM_TEXT);
  return 0;
}

// ---------------------------------------------------------------------------
// CVcdFrontEnd

CVcdFrontEnd::CVcdFrontEnd(const VcdBuildParams* params)
    : m_params(NULL), m_cueSink(NULL), m_imageSink(NULL) {
  if (params == NULL) return;
  m_params = static_cast<VcdBuildParams*>(calloc(1, sizeof(VcdBuildParams)));
  if (m_params == NULL) return;
  memcpy(m_params, params, sizeof(VcdBuildParams));
  // The caller's fields need not be terminated; ours always are.
  m_params->xmlPath[kVcdPathSize - 1] = '\0';
  m_params->cuePath[kVcdPathSize - 1] = '\0';
  m_params->binPath[kVcdPathSize - 1] = '\0';
}

CVcdFrontEnd::~CVcdFrontEnd() {
  DestroySinks();
  free(m_params);
}

void CVcdFrontEnd::SetBuildHookForTests(BuildHook hook) { g_buildHook = hook; }

void CVcdFrontEnd::DestroySinks() {
  if (m_cueSink != NULL && m_cueSink != m_imageSink) {
    m_cueSink->Release();
    delete m_cueSink;
  }
  if (m_imageSink != NULL) {
    m_imageSink->Release();
    delete m_imageSink;
  }
  m_cueSink = m_imageSink = NULL;
}

int CVcdFrontEnd::Run() {
  SetProgramName(VCD_PROGRAM_NAME);
  int prepared = Prepare();
  if (prepared == 1) return kVcdResultFailed;
  if (prepared == -1) return kVcdResultOk;
  if (g_buildHook != NULL) g_buildHook(*this);
  return BuildImage() == 0 ? kVcdResultOk : kVcdResultFailed;
}

int CVcdFrontEnd::Prepare() {
  if (m_params == NULL) return 1;
  SetProgress(m_params->progress);
  SetXmlProgress(m_params->xmlProgress);
  SetLevel(VcdLevelFromVerbosity(m_params->verbosity));

  if (m_params->versionMode) {
    ReportVersion();
    return -1;
  }
  if (m_params->helpMode) {
    PrintHelp(false);
    return -1;
  }
  if (m_params->usageMode) {
    PrintHelp(true);
    return -1;
  }

  if (m_params->xmlPath[0] == '\0') {
    Error("xml input file argument missing");
    return 1;
  }
  m_xmlPath = m_params->xmlPath;
  return CreateSinks();
}

int CVcdFrontEnd::CreateSinks() {
  // The image sinks come with the disc image writers; until then no sink is
  // made and BuildImage refuses to go on.
  return 0;
}

int CVcdFrontEnd::BuildImage() {
  // Reading the VideoCD XML project and building the project model come
  // with the project reader.
  Error("reading VideoCD XML projects is not part of this build of %s",
        m_programName.c_str());
  return 1;
}

void CVcdFrontEnd::PrintHelp(bool brief) {
  char name[32];
  size_t i = 0;
  for (; i < sizeof name - 1 && m_programName[i] != '\0'; ++i)
    name[i] = static_cast<char>(tolower(static_cast<unsigned char>(m_programName[i])));
  name[i] = '\0';

  Send(kVcdMsgPlain, "%s %s(%s)\n", m_programName.c_str(), VCD_VERSION_TEXT, VCD_PLATFORM_TEXT);
  if (brief) {
    SendText(kVcdMsgPlain, " Usage:  ('[...]'=optional, '<...>'=required)\n");
    Send(kVcdMsgPlain, " %s [/?] | [-h] | [/help] | [/u] | [-usage]\n", name);
    Send(kVcdMsgPlain, " %s [-V] | [/version]\n", name);
    Send(kVcdMsgPlain, " %s </x <PATH>>  [-i tocimg | cuebin | nrg]  [/c <PATH>]\n", name);
    static const char* const kUsageTail[] = {
        "      [-bin-file <PATH>]  [/sector-2336]  [-p]  [/gui]  [/v <1 | 2 | 3>]\n",
        "\n",
        " remark -- Only with 'cuebin'|'bincue' and 'tocimg'|'imgtoc' :\n",
        "   If the 'bin'-param has not been entered but the 'cue' has, the same\n",
        "   path-base for the 'bin'|'img-base' as with the 'cue'-param will be used.\n",
        "   eg.: if ((cue == \"D:\\IMG\\videocd.cue\") && (bin == NULL))\n",
        "          then the 'bin' will be for 'cuebin' \"D:\\IMG\\videocd.bin\"\n",
        "          or the 'img-base' will be for 'imgtoc' \"D:\\IMG\\videocd\"\n",
    };
    for (const char* line : kUsageTail) SendText(kVcdMsgPlain, line);
    return;
  }

  SendText(kVcdMsgPlain, "Builds VideoCD and Super VideoCD disc images for the Quorbel suite.\n");
  SendText(kVcdMsgPlain, "Reads the project, scans the MPEG tracks and writes the image.\n");
  SendText(kVcdMsgPlain,
           "This program takes a XML to build a (S)VCD with ISO9660-2 characteristics.\n");
  SendText(kVcdMsgPlain, "\n");
  Send(kVcdMsgPlain, "Usage: %s [OPTION...] (paramters should begin with '-' or '/')\n", name);
  static const char* const kOptionLines[] = {
      " [x|XML]        <PATH>    specify xml-input file to use\n",
      " [i|image-type] <TYPE>    specify image type for output, possible values:\n",
      "                           'cuebin'|'bincue', 'tocimg'|'imgtoc', 'nrg'\n",
      "                           (default: 'cuebin').\n",
      " [c|cue-file]   <PATH>    specify file for output (default: '.\\videocd.cue')\n",
      "                           use this also for your 'toc'-file, ignored with NRG\n",
      " [b|bin-file]   <PATH>    specify file for output (default: '.\\videocd.bin')\n",
      "                           use this also for your 'img'-base and 'nrg'-file\n",
      " [s|sector-2336]          use 2336 byte sectors for output (ignored with 'nrg')\n",
      " [p|progress]             show progress\n",
      " [v|verbose]    [LEVEL]   be verbose '1'=Normal, '2'=Debug, '3'=Silent\n",
      "                           level 3 only shows critical messages and warnings\n",
      "                           (default: level 1)\n",
      " [g|gui]                  enable GUI mode\n",
      " [V|version]              display version and copyright information and exit\n",
      "Help options:\n",
      " [?|h|help]               Show this help message\n",
      " [u|usage]                Display brief usage message",
  };
  for (const char* line : kOptionLines) SendText(kVcdMsgPlain, line);
}
