// CVcdStream against real files: reading, writing, seeking (with and
// without a real repositioning), reads past the end, the overwrite warning,
// Printf's limit and the stream without a file name; writes through the
// write-behind thread, and chunks read ahead.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_support.h"
#include "discimage/base/vcd_read_ahead.h"
#include "discimage/base/vcd_stream.h"
#include "discimage/base/vcd_worker_threads.h"
#include "discimage/base/vcd_write_behind.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

class StreamTest : public FreshFolderTest {
protected:
  std::string MakeFile(const char* name, size_t size) {
    std::string path = PathOf(name);
    FILE* f = fopen(path.c_str(), "wb");
    for (size_t i = 0; i < size; ++i) fputc(static_cast<int>(i % 251), f);
    fclose(f);
    return path;
  }

  CapturingSink capture;
};

TEST_F(StreamTest, WriteThenReadBack) {
  std::string path = PathOf("data.bin");
  {
    CVcdStream out(&capture.sink, path.c_str(), kVcdStreamWrite);
    EXPECT_FALSE(out.IsOpen());  // opened by the first operation
    EXPECT_EQ(out.Write("hello ", 6), 6u);
    EXPECT_EQ(out.Printf("%s %d", "world", 42), 8);
    EXPECT_EQ(out.GetPosition(), 14);
    EXPECT_EQ(out.Size(), 14);  // counts what is still buffered
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(out.GetPosition(), 0);
  }
  EXPECT_EQ(FileContents(path), "hello world 42");
  CVcdStream in(&capture.sink, path.c_str(), kVcdStreamRead);
  EXPECT_GT(in.GetFileTime(), 0);
  char buffer[16] = {0};
  EXPECT_EQ(in.Read(buffer, 5), 5u);
  EXPECT_STREQ(buffer, "hello");
  EXPECT_EQ(in.GetPosition(), 5);
  EXPECT_EQ(in.Size(), 14);
  EXPECT_TRUE(capture.messages.empty());
}

TEST_F(StreamTest, SeekToTheCurrentPositionDoesNothing) {
  std::string path = MakeFile("seek.bin", 100);
  CVcdStream in(&capture.sink, path.c_str(), kVcdStreamRead);
  EXPECT_EQ(in.Seek(0), 0);
  char buffer[10];
  in.Read(buffer, 10);
  EXPECT_EQ(in.Seek(10), 10);
  EXPECT_TRUE(capture.messages.empty());
  EXPECT_EQ(in.Seek(50), 50);
  EXPECT_EQ(capture.TextsAt(kVcdMsgDebug), std::vector<std::string>{"had to reposition Stream from 10 to 50!\n"});
  unsigned char byte = 0;
  EXPECT_EQ(in.Read(&byte, 1), 1u);
  EXPECT_EQ(byte, 50);
}

TEST_F(StreamTest, FailedSeekNeverEqualsTheOffsetAskedFor) {
  CVcdStream missing(&capture.sink, PathOf("missing.bin").c_str(), kVcdStreamRead);
  EXPECT_NE(missing.Seek(0), 0);  // cannot open: even offset 0 fails
  EXPECT_NE(missing.Seek(-1), -1);

  std::string path = MakeFile("neg.bin", 10);
  CVcdStream in(&capture.sink, path.c_str(), kVcdStreamRead);
  capture.messages.clear();
  EXPECT_NE(in.Seek(-5), -5);
  EXPECT_EQ(capture.TextsAt(kVcdMsgError),
            std::vector<std::string>{"unable to reposition Stream to the new location, -5\n"});
  EXPECT_EQ(in.GetPosition(), 0);
}

TEST_F(StreamTest, ReadPastTheEndReturnsZeroAndKeepsTheStreamUsable) {
  std::string path = MakeFile("end.bin", 1000);
  CVcdStream in(&capture.sink, path.c_str(), kVcdStreamRead);
  ASSERT_EQ(in.Seek(990), 990);
  capture.messages.clear();
  unsigned char buffer[20];
  EXPECT_EQ(in.Read(buffer, 20), 0u);
  EXPECT_EQ(capture.TextsAt(kVcdMsgDebug), std::vector<std::string>{"fread (): EOF encountered\n"});
  EXPECT_EQ(in.GetPosition(), 990);
  // The file agrees with the stream: the next read gets the last ten bytes.
  EXPECT_EQ(in.Read(buffer, 10), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(buffer[i], (990 + i) % 251);
  EXPECT_EQ(in.GetPosition(), 1000);
  EXPECT_EQ(in.Read(buffer, 1), 0u);
  EXPECT_EQ(in.GetPosition(), 1000);
  ASSERT_EQ(in.Seek(0), 0);
  EXPECT_EQ(in.Read(buffer, 3), 3u);
  EXPECT_EQ(buffer[2], 2);
}

TEST_F(StreamTest, OverwriteWarningOnlyForAFileWithContent) {
  std::string full = MakeFile("full.bin", 5);
  std::string empty = MakeFile("empty.bin", 0);
  CVcdStream a(&capture.sink, full.c_str(), kVcdStreamWrite);
  CVcdStream b(&capture.sink, empty.c_str(), kVcdStreamWrite);
  CVcdStream c(&capture.sink, PathOf("new.bin").c_str(), kVcdStreamWrite);
  EXPECT_EQ(capture.Texts(),
            std::vector<std::string>{"file '" + full + "' exist already, will get overwritten!\n"});
  EXPECT_EQ(capture.messages[0].wParam, static_cast<uintptr_t>(kVcdMsgWarning));
}

TEST_F(StreamTest, ReopeningAWriteStreamTruncates) {
  std::string path = PathOf("again.bin");
  CVcdStream out(&capture.sink, path.c_str(), kVcdStreamWrite);
  out.Write("first run", 9);
  out.Close();
  out.Write("2nd", 3);
  out.Release();
  EXPECT_EQ(FileContents(path), "2nd");
}

TEST_F(StreamTest, PrintfBeyond4095BytesWritesNothing) {
  std::string path = PathOf("long.txt");
  {
    CVcdStream out(&capture.sink, path.c_str(), kVcdStreamWrite);
    std::string text(5000, 'x');
    EXPECT_EQ(out.Printf("%s", text.c_str()), -1);
    EXPECT_EQ(capture.TextsAt(kVcdMsgError), std::vector<std::string>{"vsnprintf() returned 5000\n"});
    std::string fits(4095, 'y');
    EXPECT_EQ(out.Printf("%s", fits.c_str()), 4095);
  }
  EXPECT_EQ(FileContents(path), std::string(4095, 'y'));
}

TEST_F(StreamTest, EmptyFileNameOpensAndMovesNoData) {
  CVcdStream none(&capture.sink, NULL, kVcdStreamWrite);
  EXPECT_EQ(none.EnsureOpen(), 0);
  EXPECT_TRUE(none.IsOpen());
  EXPECT_EQ(none.Write("abc", 3), 0u);
  EXPECT_EQ(none.Printf("abc"), -1);
  char buffer[4];
  EXPECT_EQ(none.Read(buffer, 4), 0u);
  EXPECT_EQ(none.Size(), -1);
  EXPECT_EQ(none.Close(), 0);
  EXPECT_TRUE(capture.messages.empty());
}

TEST_F(StreamTest, MissingInputReportsStatAndOpenFailures) {
  std::string path = PathOf("absent.mpg");
  CVcdStream in(&capture.sink, path.c_str(), kVcdStreamRead);
  ASSERT_EQ(capture.messages.size(), 1u);
  EXPECT_EQ(capture.messages[0].text.rfind("could not stat() file `" + path + "': ", 0), 0u);
  char buffer[4];
  EXPECT_EQ(in.Read(buffer, 4), 0u);
  EXPECT_EQ(in.Size(), -1);
  // Each operation tries again and says so again.
  EXPECT_EQ(capture.TextsAt(kVcdMsgError).back(), "could not open input stream <" + path + ">\n");
  EXPECT_EQ(capture.TextsAt(kVcdMsgError).size(), 3u);
}

TEST_F(StreamTest, InvalidModeNeverCreatesTheFile) {
  std::string path = PathOf("never.bin");
  CVcdStream bad(&capture.sink, path.c_str(), 7);
  EXPECT_EQ(bad.GetMode(), kVcdStreamInvalid);
  EXPECT_EQ(capture.Texts().at(0),
            "program error: CVcdStream has been wrongly initialized - aborting!\n");
  EXPECT_EQ(bad.Write("x", 1), 0u);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(StreamTest, PositionsBeyond4GiB) {
  std::string path = PathOf("sparse.bin");
  const int64_t beyond4GiB = 5LL * 1024 * 1024 * 1024;
  {
    CVcdStream out(&capture.sink, path.c_str(), kVcdStreamWrite);
    EXPECT_EQ(out.Seek(beyond4GiB), beyond4GiB);
    EXPECT_EQ(out.Write("z", 1), 1u);
    EXPECT_EQ(out.GetPosition(), beyond4GiB + 1);
    EXPECT_EQ(out.Size(), beyond4GiB + 1);
  }
  CVcdStream in(&capture.sink, path.c_str(), kVcdStreamRead);
  EXPECT_EQ(in.Size(), beyond4GiB + 1);
  EXPECT_EQ(in.Seek(beyond4GiB), beyond4GiB);
  char byte = 0;
  EXPECT_EQ(in.Read(&byte, 1), 1u);
  EXPECT_EQ(byte, 'z');
  in.Close();
  fs::remove(path);
}

// A write stream as the images use it: through the write-behind thread.
class BehindStream : public CVcdStream {
public:
  BehindStream(CVcdMessageSink* messages, const char* path) : CVcdStream(messages, path, kVcdStreamWrite) {
    UseWriteBehind();
  }
};

// Sectors across several of the thread's buffers, a seek back to patch an
// early one and the size asked in between: the file holds every byte in its
// place.
TEST_F(StreamTest, WriteBehindKeepsOrderAcrossBuffersSeeksAndSize) {
  std::string path = PathOf("behind.bin");
  const size_t kSector = 2352, kSectors = 2000;  // about 9 of its buffers
  std::vector<char> expected(kSector * kSectors);
  for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<char>(i * 7 % 253);
  {
    BehindStream out(&capture.sink, path.c_str());
    for (size_t n = 0; n < kSectors / 2; ++n)
      ASSERT_EQ(out.Write(&expected[n * kSector], kSector), kSector);
    EXPECT_EQ(out.Size(), static_cast<int64_t>(kSector * kSectors / 2));
    for (size_t n = kSectors / 2; n < kSectors; ++n)
      ASSERT_EQ(out.Write(&expected[n * kSector], kSector), kSector);
    memcpy(&expected[kSector * 3], "patched", 7);
    ASSERT_EQ(out.Seek(kSector * 3), static_cast<int64_t>(kSector * 3));
    ASSERT_EQ(out.Write("patched", 7), 7u);
    EXPECT_EQ(out.Close(), 0);
  }
  EXPECT_TRUE(FileContents(path) == std::string(expected.begin(), expected.end()));
  EXPECT_EQ(capture.Count(kVcdMsgError), 0) << capture.All();
}

#ifndef _WIN32
// The thread's failure is the stream's: a later write or the close fails,
// reported, never a close that says all went well.
TEST_F(StreamTest, WriteBehindFailureFailsTheStream) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  BehindStream out(&capture.sink, "/dev/full");
  std::vector<char> sector(2352, 'x');
  bool failed = false;
  for (int n = 0; n < 4000 && !failed; ++n) failed = out.Write(sector.data(), sector.size()) == 0;
  EXPECT_TRUE(failed || out.Close() != 0);
  out.Close();
  EXPECT_TRUE(capture.Has(kVcdMsgError, "fwrite (): No space left on device")) << capture.All();
}

// Once the thread's write failed, the stream has no size to tell, and the
// failure is told once, however often the stream is used after it.
TEST_F(StreamTest, WriteBehindFailureFailsSizeAndIsReportedOnce) {
  const size_t kSector = 2352;
  // Some of the thread's buffers reach the file before one does not.
  FileSizeLimit limit(3 * CVcdWriteBehind::kBufferSize + 100000);
  BehindStream out(&capture.sink, PathOf("limited.bin").c_str());
  std::vector<char> sector(kSector, 'x');
  int written = 0;
  for (; written < 4000; ++written)
    if (out.Write(sector.data(), sector.size()) == 0) break;
  EXPECT_GT(written * kSector, 2u * CVcdWriteBehind::kBufferSize);
  EXPECT_EQ(out.Size(), -1);
  EXPECT_EQ(out.Write(sector.data(), sector.size()), 0u);
  EXPECT_EQ(out.Size(), -1);
  EXPECT_NE(out.Close(), 0);
  EXPECT_EQ(capture.Count(kVcdMsgError, "fwrite (): File too large"), 1) << capture.All();
  EXPECT_EQ(capture.Count(kVcdMsgError), 1) << capture.All();
}
#endif

// Chunks come in file order with the file's bytes, from any start, the last
// one shorter; a file that ends early and a missing file end with an error.
TEST_F(StreamTest, ReadAheadHandsOutTheStretchInOrder) {
  const size_t kSize = 3 * 1024 * 1024 + 1000;  // more chunks than its slots
  std::string path = MakeFile("ahead.bin", kSize);
  std::string contents = FileContents(path);
  struct Case {
    const char* what;
    int64_t start, end;
    int error;  // Error() once the chunks run out
  } cases[] = {
      {"the whole file", 0, static_cast<int64_t>(kSize), 0},
      {"from an odd offset", 4097, static_cast<int64_t>(kSize), 0},
      {"a stretch inside one chunk", 10, 2000, 0},
      {"nothing", 500, 500, 0},
      {"past the file's end", 0, static_cast<int64_t>(kSize) + 5000, CVcdReadAhead::kEndOfFile},
  };
  FILE* file = fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  for (const Case& c : cases) {
    CVcdReadAhead ahead(file, c.start, c.end);
    std::string got;
    size_t length = 0;
    while (uint8_t* chunk = ahead.Acquire(&length)) {
      EXPECT_LE(length, static_cast<size_t>(CVcdReadAhead::kChunkSize)) << c.what;
      got.append(reinterpret_cast<char*>(chunk), length);
      ahead.Release();
    }
    EXPECT_EQ(ahead.Error(), c.error) << c.what;
    if (c.error == 0) {
      EXPECT_TRUE(got == contents.substr(c.start, c.end - c.start)) << c.what;
    }
  }
  fclose(file);
  CVcdReadAhead none(nullptr, 0, 100);
  size_t length = 0;
  EXPECT_EQ(none.Acquire(&length), nullptr);
  EXPECT_NE(none.Error(), 0);
}

#ifndef _WIN32
// Reads that fail for real: a file whose descriptor is gone fails at once;
// a stretch whose middle cannot be read (this process's memory read as a
// file, with a page range unmapped) hands out the chunks before the hole
// with their bytes, then stops with the read's error.
TEST_F(StreamTest, ReadAheadStopsAtARealReadError) {
  const size_t kChunk = CVcdReadAhead::kChunkSize;
  {
    std::string path = MakeFile("gone.bin", 3 * kChunk);
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    const int fd = fileno(file);
    close(fd);
    CVcdReadAhead ahead(file, 0, static_cast<int64_t>(3 * kChunk));
    size_t length = 0;
    EXPECT_EQ(ahead.Acquire(&length), nullptr);
    EXPECT_EQ(ahead.Error(), EBADF);
    fclose(file);  // frees the FILE; its descriptor is gone already
  }
  {
    const size_t kChunks = 6, kHoleAt = 3;
    uint8_t* memory = static_cast<uint8_t*>(
        mmap(nullptr, kChunks * kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(memory, MAP_FAILED);
    for (size_t i = 0; i < kHoleAt * kChunk; ++i) memory[i] = static_cast<uint8_t>(i * 13 % 251);
    ASSERT_EQ(munmap(memory + kHoleAt * kChunk, kChunk), 0);
    FILE* self = fopen("/proc/self/mem", "rb");
    if (self == nullptr) GTEST_SKIP() << "no /proc/self/mem";
    const int64_t start = static_cast<int64_t>(reinterpret_cast<uintptr_t>(memory));
    CVcdReadAhead ahead(self, start, start + static_cast<int64_t>(kChunks * kChunk));
    std::string got;
    size_t length = 0;
    while (uint8_t* chunk = ahead.Acquire(&length)) {
      got.append(reinterpret_cast<char*>(chunk), length);
      ahead.Release();
    }
    EXPECT_EQ(ahead.Error(), EIO);
    EXPECT_EQ(got.size(), kHoleAt * kChunk);
    EXPECT_TRUE(got == std::string(reinterpret_cast<char*>(memory), kHoleAt * kChunk));
    fclose(self);
    munmap(memory, kHoleAt * kChunk);
    munmap(memory + (kHoleAt + 1) * kChunk, (kChunks - kHoleAt - 1) * kChunk);
  }
}
#endif

// A caller may hold up to every slot at once: the next chunk comes as soon
// as it gives the oldest back, however many it still holds.
TEST_F(StreamTest, ReadAheadServesACallerHoldingManyChunks) {
  const int kChunks = 3 * CVcdReadAhead::kSlots;
  const size_t kSize = static_cast<size_t>(kChunks) * CVcdReadAhead::kChunkSize - 777;
  std::string path = MakeFile("held.bin", kSize);
  std::string contents = FileContents(path);
  FILE* file = fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  for (int held : {1, CVcdReadAhead::kSlots / 2, CVcdReadAhead::kSlots / 2 + 1,
                   CVcdReadAhead::kSlots - 1, static_cast<int>(CVcdReadAhead::kSlots)}) {
    SCOPED_TRACE(held);
    // Owned by nobody when the reader never delivers, so that a hang fails
    // the test instead of blocking it.
    CVcdReadAhead* ahead = new CVcdReadAhead(file, 0, static_cast<int64_t>(kSize));
    std::promise<std::string> done;
    std::future<std::string> got = done.get_future();
    std::thread caller([ahead, held, &done] {
      std::string bytes;
      std::deque<std::pair<uint8_t*, size_t>> holding;
      size_t length = 0;
      for (;;) {
        if (static_cast<int>(holding.size()) == held) {
          bytes.append(reinterpret_cast<char*>(holding.front().first), holding.front().second);
          holding.pop_front();
          ahead->Release();
        }
        uint8_t* chunk = ahead->Acquire(&length);
        if (chunk == nullptr) break;
        holding.emplace_back(chunk, length);
      }
      for (const auto& chunk : holding) bytes.append(reinterpret_cast<char*>(chunk.first), chunk.second);
      done.set_value(bytes);
    });
    if (got.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      caller.detach();
      FAIL() << "the caller waits for a chunk the reader never reads";
    }
    caller.join();
    EXPECT_TRUE(got.get() == contents);
    EXPECT_EQ(ahead->Error(), 0);
    delete ahead;
  }
  fclose(file);
}

// Workers whose owners are never destroyed - as after a fault that leaves
// the build without unwinding - still end their threads with the build.
TEST_F(StreamTest, WorkersLeftBehindStopWithTheirBuild) {
  std::string path = MakeFile("left.bin", 4 * CVcdReadAhead::kChunkSize);
  FILE* in = fopen(path.c_str(), "rb");
  FILE* out = fopen(PathOf("left.out").c_str(), "wb");
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  std::vector<char> bytes(CVcdWriteBehind::kBufferSize + 100, 'w');
  struct Case {
    const char* what;
    std::function<CVcdWorker*(CVcdWorkerThreads*)> start;  // leaves a thread running
  } cases[] = {
      {"read-ahead", [&](CVcdWorkerThreads* owner) {
         CVcdReadAhead* ahead = new CVcdReadAhead(in, 0, 4 * CVcdReadAhead::kChunkSize, owner);
         size_t length = 0;
         EXPECT_NE(ahead->Acquire(&length), nullptr);
         return ahead;
       }},
      {"write-behind", [&](CVcdWorkerThreads* owner) {
         CVcdWriteBehind* behind = new CVcdWriteBehind(out, owner);
         EXPECT_EQ(behind->Write(bytes.data(), bytes.size()), 0);
         return behind;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int before = ThreadCount();
    CVcdWorker* left = nullptr;
    {
      CVcdWorkerThreads build;
      left = c.start(&build);
      EXPECT_GT(ThreadCount(), before);
      EXPECT_EQ(build.GetCount(), 1u);
    }
    EXPECT_EQ(ThreadCountSettledAt(before), before);
    // What the build let go may still be destroyed, without its build.
    delete left;
  }
  fclose(in);
  fclose(out);
}

TEST_F(StreamTest, StreamsAreRunTimeClassed) {
  CVcdStream s(NULL, NULL, kVcdStreamRead);  // no message context: stays silent
  EXPECT_TRUE(s.IsKindOf(RUNTIME_CLASS(CVcdStream)));
  EXPECT_TRUE(s.IsKindOf(RUNTIME_CLASS(CObject)));
}

}  // namespace
