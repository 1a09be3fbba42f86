#include "shell/large_buffer_allocator.hpp"

// AddressSanitizer watches heap blocks only; under it every buffer comes from the heap so that a
// read past a ROM image is caught.
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#define SHELL_HUGE_PAGE_BUFFERS 1
#include <sys/mman.h>
#endif

namespace shell {
namespace {

#ifdef SHELL_HUGE_PAGE_BUFFERS
// Below this size the ordinary heap is as fast and wastes less.
constexpr std::size_t kLargeBufferThreshold = std::size_t{2} << 20;
#endif

thread_local FileToMap* offeredFile = nullptr;

#ifdef SHELL_HUGE_PAGE_BUFFERS
void* anonymousBuffer(std::size_t bytes)
{
    void* buffer = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (buffer == MAP_FAILED)
        throw std::bad_alloc();
    return buffer;
}

enum class Mapping { NotOffered, Done, Failed };

// Lays the offered file over the start of `buffer`.
Mapping mapOfferedFile(void* buffer, std::size_t bytes)
{
    FileToMap* file = offeredFile;
    if (file == nullptr || file->mapped || file->size == 0 || file->size > bytes)
        return Mapping::NotOffered;
    void* mapped = ::mmap(buffer, file->size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED,
                          file->descriptor, 0);
    file->mapped = mapped == buffer;
    if (file->mapped)
        ::madvise(buffer, file->size, MADV_POPULATE_READ);
    return file->mapped ? Mapping::Done : Mapping::Failed;
}
#endif

}  // namespace

void offerFileToMap(FileToMap* file)
{
    offeredFile = file;
}

void* allocateLargeBuffer(std::size_t bytes)
{
#ifdef SHELL_HUGE_PAGE_BUFFERS
    if (bytes >= kLargeBufferThreshold) {
        void* buffer = anonymousBuffer(bytes);
        switch (mapOfferedFile(buffer, bytes)) {
        case Mapping::Done:
            return buffer;
        case Mapping::Failed:
            // A failed fixed mapping may have left the range in any state: start afresh.
            ::munmap(buffer, bytes);
            buffer = anonymousBuffer(bytes);
            break;
        case Mapping::NotOffered:
            break;
        }
        ::madvise(buffer, bytes, MADV_HUGEPAGE);  // advice only: failure changes nothing
        return buffer;
    }
#endif
    return ::operator new(bytes);
}

void freeLargeBuffer(void* buffer, std::size_t bytes)
{
#ifdef SHELL_HUGE_PAGE_BUFFERS
    if (bytes >= kLargeBufferThreshold) {
        ::munmap(buffer, bytes);
        return;
    }
#endif
    ::operator delete(buffer, bytes);
}

}  // namespace shell
