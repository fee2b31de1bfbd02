#include "discjob/job_dvd_video_ts.h"

#include <cstdio>

namespace {

// A running list: every file added and counted, the first failure kept.
class ListBuilder {
public:
  ListBuilder(const std::string& source, VideoTsFiles& files, VideoTsTree& tree)
      : source_(source), files_(files), tree_(tree) {}

  // Adds the file when it exists; false when it is missing or refused.
  bool Add(const char* name) {
    std::string path = source_ + name;
    int64_t size = files_.SizeOf(path);
    if (size < 0 || !tree_.AddFile(path)) return Missing(path);
    sectors_ += size / 2048;
    if (sectors_ > kDvdDiscSectors) {
      result_ = kVideoTsListTooLarge;
      message_ = "DVD source is too large to fit on one disc.\r\n";
      return false;
    }
    return true;
  }
  // Adds the file only when it exists; false only when it was refused.
  bool AddIfPresent(const char* name, bool* present) {
    *present = files_.SizeOf(source_ + name) >= 0;
    return !*present || Add(name);
  }
  bool Missing(const std::string& path) {
    result_ = kVideoTsListMissing;
    message_ = "Could not find file " + path;
    return false;
  }
  int Result(std::string* message) const {
    if (message != NULL) *message = message_;
    return result_;
  }

private:
  const std::string& source_;
  VideoTsFiles& files_;
  VideoTsTree& tree_;
  int64_t sectors_ = 0;
  int result_ = kVideoTsListOk;
  std::string message_;
};

}  // namespace

int BuildVideoTsList(const std::string& source, VideoTsFiles& files, VideoTsTree& tree, std::string* message) {
  ListBuilder list(source, files, tree);
  if (!tree.AddFolders()) {
    list.Missing(source + "VIDEO_TS");
    return list.Result(message);
  }
  bool present = false;
  if (!list.Add("video_ts.ifo") || !list.AddIfPresent("video_ts.vob", &present) || !list.Add("video_ts.bup"))
    return list.Result(message);
  char name[32];
  for (int set = 1; set <= 99; ++set) {
    snprintf(name, sizeof name, "vts_%02d_0.ifo", set);
    if (!list.AddIfPresent(name, &present) || !present) break;
    snprintf(name, sizeof name, "vts_%02d_0.vob", set);
    if (!list.AddIfPresent(name, &present)) break;
    snprintf(name, sizeof name, "vts_%02d_1.vob", set);
    if (!list.Add(name)) break;
    bool more = true;
    for (int part = 2; part <= 99 && more; ++part) {
      snprintf(name, sizeof name, "vts_%02d_%d.vob", set, part);
      if (!list.AddIfPresent(name, &more)) return list.Result(message);
    }
    snprintf(name, sizeof name, "vts_%02d_0.bup", set);
    if (!list.AddIfPresent(name, &present) || !present) break;
  }
  return list.Result(message);
}
