// Keeps large blocks (the program's 100000-entry arrays) for the next run instead of handing
// them back to the system: under AddressSanitizer each run would otherwise fault in several
// megabytes of fresh pages, which takes most of a run's time. Small blocks are untouched.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TONFEX_ASAN 1
#endif
#endif
// Without the sanitizers the system's allocator keeps freed pages itself: nothing to do.
#ifdef TONFEX_ASAN
#include <sanitizer/allocator_interface.h>

#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr std::size_t kLarge = 64 * 1024;

// Free large blocks with their sizes; a fixed table, so that keeping a block allocates nothing.
struct Kept {
    void* block = nullptr;
    std::size_t size = 0;
};
Kept kept[64];
std::mutex keptMutex;

void* allocate(std::size_t size) {
    if (size >= kLarge) {
        std::lock_guard<std::mutex> lock(keptMutex);
        for (Kept& k : kept)
            if (k.block && k.size == size) {
                void* p = k.block;
                k.block = nullptr;
                return p;
            }
    }
    return std::malloc(size ? size : 1);
}

void release(void* p) noexcept {
    if (!p) return;
    const std::size_t size = __sanitizer_get_allocated_size(p);
    if (size >= kLarge) {
        std::lock_guard<std::mutex> lock(keptMutex);
        for (Kept& k : kept)
            if (!k.block) {
                k.block = p;
                k.size = size;
                return;
            }
    }
    std::free(p);
}

void* allocateOrThrow(std::size_t size) {
    void* p = allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}

} // namespace

void* operator new(std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    release(p);
}

#endif
