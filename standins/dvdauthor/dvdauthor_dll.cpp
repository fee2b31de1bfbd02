// DVDAuthorDLL.dll: AuthorDVD over the authoring core. The block is copied,
// the work runs on a thread of the library, and its progress and end are
// posted to the block's window (dvdauthor.h).
#include <windows.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "standins/common/standin_trace.h"
#include "standins/dvdauthor/author_core.h"
#include "standins/include/dvdauthor.h"

namespace {

const char kLib[] = "DVDAuthorDLL";

class PostingListener : public AuthorListener {
public:
  explicit PostingListener(HWND window) : m_window(window) {}
  void VobPercent(int percent) override { Post(kAuthorVobPercent, percent); }
  void ImagePercent(int percent) override { Post(kAuthorImagePercent, percent); }
  void Note(const std::string& text) override { StandinTrace(kLib, "note: %s", text.c_str()); }
  void Post(int code, int percent) {
    if (m_window != NULL) PostMessageA(m_window, kAuthorDvdMessage, static_cast<WPARAM>(code), percent);
  }

private:
  HWND m_window;
};

struct AuthorTask {
  HWND window;
  AuthorJob job;
};

DWORD WINAPI AuthorThread(void* parameter) {
  AuthorTask* task = static_cast<AuthorTask*>(parameter);
  PostingListener listener(task->window);
  AuthorOutcome outcome;
  bool made = AuthorDvd(task->job, &listener, &outcome);
  if (made) {
    StandinTrace(kLib, "made VIDEO_TS: %d VOBU(s), %lld sectors, %d navigation pack(s) inserted", outcome.vobus,
                 static_cast<long long>(outcome.vobSectors), outcome.insertedNavigationPacks);
    listener.Post(kAuthorFinished, 100);
    listener.Post(kAuthorImageMade, 100);
  } else {
    StandinTrace(kLib, "failed: %s", outcome.error.c_str());
    listener.Post(kAuthorFailed, 0);
  }
  delete task;
  return 0;
}

}  // namespace

extern "C" int32_t OUTSIDE_CALL AuthorDVD(void* parameters) {
  const AuthorDvdParams* block = static_cast<const AuthorDvdParams*>(parameters);
  if (block == NULL) {
    StandinTrace(kLib, "AuthorDVD without a block");
    return -1;
  }
  AuthorTask* task = new AuthorTask;
  task->window = static_cast<HWND>(block->window);
  size_t folderLength = strnlen(block->outputFolder, sizeof block->outputFolder);
  bool usable = folderLength > 0 && folderLength < sizeof block->outputFolder && block->files != NULL;
  if (usable) {
    task->job.discFolder.assign(block->outputFolder, folderLength);
    for (size_t n = 0; block->files[n] != NULL && n < 100; ++n) task->job.inputs.push_back(block->files[n]);
    task->job.tvType = block->tvType;
    task->job.aspect = block->aspect;
    task->job.letterBox = block->letterBox;
  }
  StandinTrace(kLib, "AuthorDVD(folder \"%s\", %u stream(s), tv %d, aspect %d, letter box %d)",
               task->job.discFolder.c_str(), static_cast<unsigned>(task->job.inputs.size()),
               static_cast<int>(block->tvType), static_cast<int>(block->aspect), static_cast<int>(block->letterBox));
  if (!usable || task->job.inputs.empty()) {
    if (task->window != NULL) PostMessageA(task->window, kAuthorDvdMessage, kAuthorFailed, 0);
    delete task;
    return -1;
  }
  HANDLE thread = CreateThread(NULL, 0, AuthorThread, task, 0, NULL);
  if (thread == NULL) {
    if (task->window != NULL) PostMessageA(task->window, kAuthorDvdMessage, kAuthorFailed, 0);
    delete task;
    return -1;
  }
  CloseHandle(thread);
  return 0;
}

static_assert(std::is_same<decltype(&AuthorDVD), AuthorDvdFn>::value, "AuthorDVD matches its interface");
