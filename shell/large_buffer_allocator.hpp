#pragma once
// An allocator for byte buffers that may hold a whole ROM image (16 or 32 MiB). Large blocks come
// straight from the system with a request for huge pages, so filling a fresh image costs a few
// page faults instead of thousands; on some virtual machines each fault is expensive enough to
// make opening an image several times slower. Small blocks use the ordinary heap.

#include <cstddef>
#include <iterator>
#include <new>
#include <utility>

namespace shell {

void* allocateLargeBuffer(std::size_t bytes);
void freeLargeBuffer(void* buffer, std::size_t bytes);

// A file whose bytes a large buffer may start with. While it is offered (see offerFileToMap), the
// next large allocation on the thread that holds at least `size` bytes begins with a private,
// copy-on-write mapping of the file: its bytes are there without being read or zeroed, and a page
// is copied only when it is written. `mapped` tells whether that happened; if not, the buffer is
// ordinary memory and the caller reads the file into it.
struct FileToMap {
    int descriptor = -1;
    std::size_t size = 0;
    bool mapped = false;
};

// Offers `file` to the next large allocation on this thread; nullptr withdraws the offer.
void offerFileToMap(FileToMap* file);

// Constructs an element without a value: for a buffer that a read is about to fill, so that its
// bytes are not written twice. Every other construction initialises as usual.
struct Uninitialised {
    // Where a vector assigns instead of constructing (an insert before existing elements), the
    // element is value-initialised as usual.
    template <class T>
    operator T() const
    {
        return T();
    }
};

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

    template <class U>
    void construct(U* element, Uninitialised) noexcept
    {
        ::new (static_cast<void*>(element)) U;
    }
    template <class U, class... Arguments>
    void construct(U* element, Arguments&&... arguments)
    {
        ::new (static_cast<void*>(element)) U(std::forward<Arguments>(arguments)...);
    }

    friend bool operator==(const LargeBufferAllocator&, const LargeBufferAllocator&) = default;
};

// A run of `Uninitialised` markers, to append elements without values:
// `buffer.insert(buffer.end(), UninitialisedRun(0), UninitialisedRun(count))`.
class UninitialisedRun {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = Uninitialised;
    using difference_type = std::ptrdiff_t;
    using pointer = const Uninitialised*;
    using reference = Uninitialised;

    explicit UninitialisedRun(std::size_t position) : position_(static_cast<difference_type>(position)) {}

    Uninitialised operator*() const { return {}; }
    Uninitialised operator[](difference_type) const { return {}; }
    UninitialisedRun& operator++() { return *this += 1; }
    UninitialisedRun operator++(int) { UninitialisedRun before = *this; *this += 1; return before; }
    UninitialisedRun& operator--() { return *this -= 1; }
    UninitialisedRun operator--(int) { UninitialisedRun before = *this; *this -= 1; return before; }
    UninitialisedRun& operator+=(difference_type n) { position_ += n; return *this; }
    UninitialisedRun& operator-=(difference_type n) { position_ -= n; return *this; }
    friend UninitialisedRun operator+(UninitialisedRun run, difference_type n) { return run += n; }
    friend UninitialisedRun operator+(difference_type n, UninitialisedRun run) { return run += n; }
    friend UninitialisedRun operator-(UninitialisedRun run, difference_type n) { return run -= n; }
    friend difference_type operator-(const UninitialisedRun& a, const UninitialisedRun& b)
    {
        return a.position_ - b.position_;
    }
    friend auto operator<=>(const UninitialisedRun&, const UninitialisedRun&) = default;

private:
    difference_type position_;
};

}  // namespace shell
