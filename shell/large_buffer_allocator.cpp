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

}  // namespace

void* allocateLargeBuffer(std::size_t bytes)
{
#ifdef SHELL_HUGE_PAGE_BUFFERS
    if (bytes >= kLargeBufferThreshold) {
        void* buffer = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                              -1, 0);
        if (buffer == MAP_FAILED)
            throw std::bad_alloc();
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
