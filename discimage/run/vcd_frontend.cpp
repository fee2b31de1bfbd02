#include "discimage/run/vcd_frontend.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <libxml/xmlerror.h>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/image/vcd_image_sink.h"
#include "discimage/image/vcd_image_sink_cdrdao.h"
#include "discimage/model/vcd_project.h"
#include "discimage/base/vcd_stream.h"
#include "discimage/base/vcd_util.h"
#include "discimage/base/vcd_version.h"
#include "discimage/xml/vcd_xml_data.h"
#include "discimage/xml/vcd_xml_reader.h"

#ifndef XMLCDECL
#define XMLCDECL
#endif

namespace {

// Projects are destroyed by their own operation.
struct ProjectDestroyer {
  void operator()(CVcdObj* project) const { project->Destroy(); }
};

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

// ---------------------------------------------------------------------------
// Image sinks

namespace {

// Where images go when the block names no file: the working folder.
#ifdef _WIN32
const char kDefaultImageFormat[] = ".\\%s";
#else
const char kDefaultImageFormat[] = "./%s";
#endif
const char kDefaultImageName[] = "videocd";

std::string DefaultImagePath(const char* extension) {
  char path[64];
  snprintf(path, sizeof path, kDefaultImageFormat, kDefaultImageName);
  return std::string(path) + extension;
}

// The block's path, or the default when it is empty; a path that names a
// folder ("out/") gets the default file name in it.
std::string PathOrDefault(const char* given, const char* extension) {
  std::string path = given != NULL ? given : "";
  if (path.empty()) return DefaultImagePath(extension);
  char last = path.back();
  if (last == '/' || last == '\\' || (last == ':' && path.size() == 2)) path += kDefaultImageName;
  return path;
}

// The base of the img files: the path less its extension, unless that
// leaves no name (".img" is a name, not an extension).
std::string ImageBase(const std::string& path) {
  std::string base = VcdReplaceExtension(path, "");
  size_t separator = base.find_last_of("/\\");
  return base.size() > (separator == std::string::npos ? 0 : separator + 1) ? base : path;
}

}  // namespace

std::string VcdReplaceExtension(const std::string& path, const char* extension) {
  size_t component = path.find_last_of("/\\");
  size_t nameStart = component == std::string::npos ? 0 : component + 1;
  size_t dot = path.rfind('.');
  std::string base = dot != std::string::npos && dot >= nameStart ? path.substr(0, dot) : path;
  return base + (extension != NULL ? extension : "");
}

int CVcdFrontEnd::SetSinkOption(CVcdImage* sink, const char* name, const char* value) {
  if (sink->SetOption(name, value) == 0) return 0;
  Error("image option %s = '%s' refused for <%s>", name, value, sink->GetFileName());
  return 1;
}

int CVcdFrontEnd::CreateSinks() {
  DestroySinks();
  const char* cuePath = m_params->cuePath;
  const char* binPath = m_params->binPath;
  const bool sector2336 = m_params->sector2336 != 0;
  int failed = 0;
  switch (m_params->imageType) {
    case kVcdImageTocImg: {
      std::string toc = VcdReplaceExtension(PathOrDefault(cuePath, ".toc"), ".toc");
      std::string base = ImageBase(*binPath ? PathOrDefault(binPath, "") : toc);
      m_cueSink = CreateVcdImageSink(this, toc.c_str(), kVcdFormatTocImg, kVcdSinkSheet);
      m_imageSink = CreateVcdImageSink(this, base.c_str(), kVcdFormatTocImg, kVcdSinkImage);
      if (m_cueSink == NULL || m_imageSink == NULL) break;
      if (sector2336)
        failed = SetSinkOption(m_cueSink, "sector", "2336") ||
                 SetSinkOption(m_imageSink, "sector", "2336");
      if (!failed)
        failed = SetSinkOption(m_cueSink, "img_base",
                               static_cast<CVcdCdrDao*>(m_imageSink)->GetImageBase());
      if (failed) break;
      return 0;
    }
    case kVcdImageNrg: {
      std::string nrg = VcdReplaceExtension(PathOrDefault(binPath, ".nrg"), ".nrg");
      m_imageSink = CreateVcdImageSink(this, nrg.c_str(), kVcdFormatNrg, kVcdSinkImage);
      m_cueSink = m_imageSink;
      if (m_imageSink == NULL) break;
      return 0;
    }
    default: {
      std::string cue = VcdReplaceExtension(PathOrDefault(cuePath, ".cue"), ".cue");
      std::string bin = VcdReplaceExtension(*binPath ? PathOrDefault(binPath, "") : cue, ".bin");
      m_cueSink = CreateVcdImageSink(this, cue.c_str(), kVcdFormatBinCue, kVcdSinkSheet);
      m_imageSink = CreateVcdImageSink(this, bin.c_str(), kVcdFormatBinCue, kVcdSinkImage);
      if (m_cueSink == NULL || m_imageSink == NULL) break;
      if (sector2336)
        failed = SetSinkOption(m_cueSink, "sector", "2336") ||
                 SetSinkOption(m_imageSink, "sector", "2336");
      if (failed) break;
      return 0;
    }
  }
  Error("could not create the image files");
  DestroySinks();
  return 1;
}

// ---------------------------------------------------------------------------
// Options of the project

namespace {

enum OptionKind { kOptionBoolean, kOptionInteger };

struct OptionDef {
  const char* name;  // matched without regard to case
  OptionKind kind;
  int parameter;     // kVcdParam*
};

const OptionDef kProjectOptions[] = {
    {"svcd vcd30 mpegav", kOptionBoolean, kVcdParamSvcdMpegavFolder},
    {"svcd vcd30 entrysvd", kOptionBoolean, kVcdParamSvcdEntrySvd},
    {"svcd vcd30 tracksvd", kOptionBoolean, kVcdParamSvcdTrackSvd},
    {"relaxed aps", kOptionBoolean, kVcdParamRelaxedAps},
    {"update scan offsets", kOptionBoolean, kVcdParamUpdateScanOffsets},
    {"leadout pause", kOptionBoolean, kVcdParamLeadoutPause},
    {"track pregap", kOptionInteger, kVcdParamTrackPregap},
    {"track front margin", kOptionInteger, kVcdParamFrontMargin},
    {"track rear margin", kOptionInteger, kVcdParamRearMargin},
};

bool EqualNoCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

}  // namespace

int VcdApplyOption(CVcdObj* project, CVcdMessageSink* messages, const char* name,
                   const char* value, VcdScanFlags* flags) {
  if (name == NULL || *name == '\0') {
    messages->Warning("no option name given!");
    return -1;
  }
  if (value == NULL || *value == '\0') {
    messages->Warning("no value given for option name '%s'", name);
    return -2;
  }
  const OptionDef* def = NULL;
  for (const OptionDef& each : kProjectOptions)
    if (EqualNoCase(name, each.name)) def = &each;
  if (def == NULL) {
    messages->Warning("unknown option name '%s'", name);
    return -1;
  }

  int number = 0;
  if (def->kind == kOptionBoolean) {
    if (EqualNoCase(value, "true")) {
      number = 1;
    } else if (EqualNoCase(value, "false")) {
      number = 0;
    } else {
      messages->Warning("option value '%s' invalid (use 'true' or 'false')", value);
      return -2;
    }
  } else {
    char* end = NULL;
    errno = 0;
    long parsed = strtol(value, &end, 10);
    // A pregap of 0 from "150x" would be a disc that does not play: a number
    // that is not one is refused, not read as 0.
    if (end == value || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
      messages->Warning("error while converting string '%s' to integer", value);
      return -2;
    }
    number = static_cast<int>(parsed);
  }
  if (project->SetParameter(def->parameter, number) != 0) return -2;
  if (flags != NULL && def->parameter == kVcdParamUpdateScanOffsets) flags->updateScanOffsets = number;
  if (flags != NULL && def->parameter == kVcdParamRelaxedAps) flags->relaxedAps = number;
  return 0;
}

// ---------------------------------------------------------------------------
// The build

int CVcdFrontEnd::BuildImage() {
  CVcdXmlData data;
  if (VcdXmlRead(m_xmlPath.c_str(), this, &data) != 0) return 1;
  // Owned here until the build ends, also when an exception ends it.
  std::unique_ptr<CVcdObj, ProjectDestroyer> project(CreateVcdObj(this, data.vcdType));
  if (project == NULL) {
    Error("failed to create VCD object");
    return 1;
  }
  int result = Build(&data, project.get());
  if (result != 0) Error("building videocd failed");
  project.reset();
  data.Clear();
  return result;
}

int CVcdFrontEnd::ApplyOptions(CVcdXmlData* data, CVcdObj* project, VcdScanFlags* flags) {
  if (!data->albumId.empty()) project->SetParameter(kVcdParamAlbumId, data->albumId.c_str());
  // An absent count or number (0) keeps the project's 1 rather than warn
  // about a value nobody gave.
  if (data->volumeNumber != 0) project->SetParameter(kVcdParamVolumeNumber, data->volumeNumber);
  if (data->volumeCount != 0) project->SetParameter(kVcdParamVolumeCount, data->volumeCount);
  project->SetParameter(kVcdParamRestriction, data->restriction);
  project->SetParameter(kVcdParamNextVolumeSequence2, data->nextVolumeUseSequence2);
  project->SetParameter(kVcdParamNextVolumeLid2, data->nextVolumeUseLid2);
  if (!data->volumeId.empty()) project->SetParameter(kVcdParamVolumeLabel, data->volumeId.c_str());
  if (!data->publisherId.empty())
    project->SetParameter(kVcdParamPublisherId, data->publisherId.c_str());
  if (!data->applicationId.empty())
    project->SetParameter(kVcdParamApplicationId, data->applicationId.c_str());

  for (POSITION pos = data->options.GetHeadPosition(); pos != NULL;) {
    CVcdNewStyle* holder = DYNAMIC_DOWNCAST(CVcdNewStyle, data->options.GetNext(pos));
    VcdXmlOption* option = holder != NULL ? holder->Option() : NULL;
    if (option == NULL) continue;
    VcdApplyOption(project, this, option->name.c_str(), option->value.c_str(), flags);
  }
  return 0;
}

int CVcdFrontEnd::AddFileSystem(CVcdXmlData* data, CVcdObj* project) {
  for (POSITION pos = data->fsEntries.GetHeadPosition(); pos != NULL;) {
    CVcdNewStyle* holder = DYNAMIC_DOWNCAST(CVcdNewStyle, data->fsEntries.GetNext(pos));
    VcdXmlFsEntry* entry = holder != NULL ? holder->FsEntry() : NULL;
    if (entry == NULL) continue;
    if (entry->src.empty()) {
      if (project->AddDirectory(entry->isoPath.c_str()) != 0) return 1;
      continue;
    }
    CVcdStream* stream = new CVcdStream(this, entry->src.c_str(), kVcdStreamRead);
    if (stream->EnsureOpen() != 0 ||
        project->AddCustomFile(entry->isoPath.c_str(), stream, entry->mixed) != 0) {
      delete stream;
      return 1;
    }
    // Hundreds of files must not hold hundreds of handles until written.
    stream->Close();
  }
  return 0;
}

int CVcdFrontEnd::AddSegmentItems(CVcdXmlData* data, CVcdObj* project, const VcdScanFlags& flags) {
  int count = 0;
  for (POSITION pos = data->segmentItems.GetHeadPosition(); pos != NULL; ++count) {
    CVcdNewStyle* holder = DYNAMIC_DOWNCAST(CVcdNewStyle, data->segmentItems.GetNext(pos));
    VcdXmlSegmentItem* item = holder != NULL ? holder->SegmentItem() : NULL;
    if (item == NULL) continue;
    // Ours until the project takes it, also when an exception ends the scan.
    std::unique_ptr<CVcdMpegSource> source(new CVcdMpegSource(this, item->src.c_str()));
    if (source->EnsureOpen() != 0) return 1;
    Info("scanning segment #%d, %s", count, item->src.c_str());
    if (source->Scan(!flags.relaxedAps, flags.updateScanOffsets, item->src.c_str()) != kMpegScanOk ||
        project->AddSegmentItem(source.get(), item->id.c_str()) != 0)
      return 1;
    source.release();  // the project's now
    for (double time : item->autoPauses)
      if (project->AddSegmentPause(item->id.c_str(), time, NULL) != 0) return 1;
  }
  return 0;
}

int CVcdFrontEnd::AddSequenceItems(CVcdXmlData* data, CVcdObj* project, const VcdScanFlags& flags) {
  Debug("sequence count %d", static_cast<int>(data->sequenceItems.GetCount()));
  int count = 0;
  for (POSITION pos = data->sequenceItems.GetHeadPosition(); pos != NULL; ++count) {
    CVcdNewStyle* holder = DYNAMIC_DOWNCAST(CVcdNewStyle, data->sequenceItems.GetNext(pos));
    VcdXmlSequenceItem* item = holder != NULL ? holder->SequenceItem() : NULL;
    if (item == NULL) continue;
    std::unique_ptr<CVcdMpegSource> source(new CVcdMpegSource(this, item->src.c_str()));
    if (source->EnsureOpen() != 0) return 1;
    Info("scanning sequence #%d, %s", count, item->src.c_str());
    if (source->Scan(!flags.relaxedAps, flags.updateScanOffsets, item->src.c_str()) != kMpegScanOk ||
        project->AddSequence(source.get(), CVcdXmlData::TextOrNull(item->id),
                             CVcdXmlData::TextOrNull(item->defaultEntryId)) < 0)
      return 1;
    source.release();  // the project's now
    // The sequence just added is the last one, whether it has an id or not.
    const char* id = CVcdXmlData::TextOrNull(item->id);
    for (POSITION at = item->entries.GetHeadPosition(); at != NULL;) {
      CVcdNewStyle* entryHolder = DYNAMIC_DOWNCAST(CVcdNewStyle, item->entries.GetNext(at));
      VcdXmlEntry* entry = entryHolder != NULL ? entryHolder->Entry() : NULL;
      if (entry == NULL) continue;
      if (project->AddEntry(id, entry->time, CVcdXmlData::TextOrNull(entry->id)) != 0) return 1;
    }
    for (double time : item->autoPauses)
      if (project->AddSequencePause(id, time, NULL) != 0) return 1;
  }
  return 0;
}

int CVcdFrontEnd::Build(CVcdXmlData* data, CVcdObj* project) {
  VcdScanFlags flags = {0, 0};
  int sectors = -1;
  int failed = ApplyOptions(data, project, &flags);
  if (!failed) failed = VcdXmlAddPbcLists(data, project, this) != 0;
  if (!failed) failed = AddFileSystem(data, project);
  if (!failed) failed = AddSegmentItems(data, project, flags);
  if (!failed) failed = AddSequenceItems(data, project, flags);
  if (!failed) {
    sectors = project->ImageSize();
    failed = sectors < 0;
  }
  if (!failed) {
    failed = project->WriteImage(m_cueSink, m_imageSink,
                                 m_imageSink != NULL ? m_imageSink->GetFileName() : "") != kVcdWriteOk;
    // The cue sheet sink is done with (released) unless it is the image sink.
    if (m_cueSink != m_imageSink) {
      delete m_cueSink;
      m_cueSink = NULL;
    }
    project->EndLayout();
  }
  if (!failed) {
    char* time = MsfText(sectors);
    Info("finished ok, image created with %ld sectors [%s]", static_cast<long>(sectors),
         time != NULL ? time : "");
    free(time);
    return 0;
  }
  // A cancel while scanning ends the build as surely as one while writing.
  if (IsCancelled())
    Info("finished with ERRORS, due to user's request to cancel.");
  else
    Info("finished with ERRORS");
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
