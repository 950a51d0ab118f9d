// test_frame_allocations.cpp: the whole show played in this process on its real time table at
// a coarse fixed rate, counting the main thread's heap allocations from the second frame on.
// Our code may make none; the OpenGL driver's own are counted apart and printed.
#include <execinfo.h>
#include <gtest/gtest.h>
#include <link.h>
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "content.h"
#include "demo/driver.h"
#include "render/clock.h"
#include "support/part_files.h"
#include "writers/bmp_writer.h"

#if defined(__SANITIZE_ADDRESS__)
#define KELP_COUNT_ALLOCATIONS 0
#else
#define KELP_COUNT_ALLOCATIONS 1
#endif

#if KELP_COUNT_ALLOCATIONS
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *p, size_t size);
void __libc_free(void *p);
}

namespace {

struct CodeRange {
    uintptr_t begin, end;
    bool holds(void *p) const { return uintptr_t(p) >= begin && uintptr_t(p) < end; }
};

// This program (our code is linked into it) and the C and C++ libraries it calls, which
// allocate on behalf of whoever called them.
CodeRange program, c_library, cpp_library;
std::atomic<bool> counting{false};
pthread_t counted_thread;
std::atomic<long> ours{0}, driver{0};

// Where the loaded objects lie: the program is the one without a name.
int note_object(dl_phdr_info *info, size_t, void *) {
    CodeRange range = {UINTPTR_MAX, 0};
    for (int i = 0; i < info->dlpi_phnum; i++) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) continue;
        uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (start < range.begin) range.begin = start;
        if (start + segment.p_memsz > range.end) range.end = start + segment.p_memsz;
    }
    const char *name = info->dlpi_name ? info->dlpi_name : "";
    if (!name[0] && program.end == 0) program = range;
    if (strstr(name, "/libc.so")) c_library = range;
    if (strstr(name, "/libstdc++.so")) cpp_library = range;
    return 0;
}

// Count an allocation of the counted thread while a frame is being played. It is the driver's
// when any caller lies in another library: the libraries call back into this program only for
// the C++ library's templates, never into our code.
__attribute__((noinline)) void note_allocation(void *caller) {
    if (!counting.load(std::memory_order_relaxed)) return;
    if (!pthread_equal(pthread_self(), counted_thread)) return;
    if (frame_counter < 2 || quit_flag) return;
    bool mine = false;
    if (program.holds(caller) || c_library.holds(caller) || cpp_library.holds(caller)) {
        void *frames[24];
        int n = backtrace(frames, 24);  // this function, the replacement below, then its callers
        mine = true;
        for (int k = 2; k < n && mine; k++)
            mine = program.holds(frames[k]) || c_library.holds(frames[k]) || cpp_library.holds(frames[k]);
    }
    (mine ? ours : driver)++;
}

}  // namespace

// Every allocation of the process passes through these (the C library supports replacing them).
extern "C" void *malloc(size_t size) {
    note_allocation(__builtin_return_address(0));
    return __libc_malloc(size);
}
extern "C" void *calloc(size_t count, size_t size) {
    note_allocation(__builtin_return_address(0));
    return __libc_calloc(count, size);
}
extern "C" void *realloc(void *p, size_t size) {
    note_allocation(__builtin_return_address(0));
    return __libc_realloc(p, size);
}
extern "C" void free(void *p) { __libc_free(p); }
#endif

namespace {

// The show's own time table ("timing.dat" from the generator) beside the parts' files.
void write_show_timing() {
    ContentSink sink;
    for (const ContentSource &source : content_sources())
        if (source.order == CONTENT_ORDER_TIMING) source.generator(sink);
    for (const ContentFile &file : sink.files) ASSERT_TRUE(write_file(file.name, file.bytes));
}

TEST(FrameAllocations, TheWholeShowAllocatesNothingPerFrame) {
#if !KELP_COUNT_ALLOCATIONS
    GTEST_SKIP() << "the sanitizers replace the allocator";
#else
    ScratchDir dir;
    ASSERT_TRUE(gl_context_open(64, 48));
    prepare_part_files();
    write_show_timing();
    dl_iterate_phdr(note_object, nullptr);
    ASSERT_GT(program.end, 0u);
    ASSERT_GT(c_library.end, 0u);
    void *warm[2];
    backtrace(warm, 2);  // its first call loads what it needs
    quit_flag = false;
    frame_counter = 0;
    counted_thread = pthread_self();
    counting = true;
    // Two frames a second of show time: every entry and the events of every part.
    ::testing::internal::CaptureStdout();
    run_demo("nosound bench2");
    std::string table = ::testing::internal::GetCapturedStdout();
    counting = false;
    gl_context_close();
    EXPECT_NE(table.find("\n16 "), std::string::npos) << "the show did not reach its last entry\n" << table;
    // The same table as CSV beside it: a header, one row per entry, the totals of 728 frames.
    std::string text = read_text("bench.csv");
    EXPECT_EQ(text.rfind("entry,frames,mean_ms,median_ms,p95_ms,worst_ms,own_percent,fps\n0,", 0), 0u) << text;
    EXPECT_NE(text.find("\n16,"), std::string::npos) << text;
    EXPECT_NE(text.find("\ntotal,728,"), std::string::npos) << text;
    printf("allocations while playing %u frames: ours %ld, the OpenGL driver's %ld\n", frame_counter, ours.load(),
           driver.load());
    EXPECT_EQ(ours.load(), 0);
#endif
}

}  // namespace
