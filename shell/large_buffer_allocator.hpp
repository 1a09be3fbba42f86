#pragma once
// An allocator for byte buffers that may hold a whole ROM image (16 or 32 MiB). Large blocks come
// straight from the system with a request for huge pages, so filling a fresh image costs a few
// page faults instead of thousands; on some virtual machines each fault is expensive enough to
// make opening an image several times slower. Small blocks use the ordinary heap.

#include <cstddef>
#include <new>

namespace shell {

void* allocateLargeBuffer(std::size_t bytes);
void freeLargeBuffer(void* buffer, std::size_t bytes);

template <class T>
struct LargeBufferAllocator {
    using value_type = T;

    LargeBufferAllocator() = default;
    template <class U>
    constexpr LargeBufferAllocator(const LargeBufferAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count) { return static_cast<T*>(allocateLargeBuffer(count * sizeof(T))); }
    void deallocate(T* buffer, std::size_t count) noexcept
    {
        freeLargeBuffer(buffer, count * sizeof(T));
    }

    friend bool operator==(const LargeBufferAllocator&, const LargeBufferAllocator&) = default;
};

}  // namespace shell
