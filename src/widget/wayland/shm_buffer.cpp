#include "widget/wayland/shm_buffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <limits>

#include "core/platform/unique_fd.h"

namespace ambrel::wayland {
std::unique_ptr<ShmBuffer> ShmBuffer::create(wl_shm* shm, QSize pixels) {
    if (!shm || pixels.isEmpty()) return nullptr;
    const std::size_t stride = static_cast<std::size_t>(pixels.width()) * 4;
    const std::size_t length = stride * static_cast<std::size_t>(pixels.height());
    if (length > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return nullptr;

    // Closed once the pool and the mapping hold the memory.
    const UniqueFd fd(::memfd_create("ambrel-widget-face", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (fd.get() < 0 || ::ftruncate(fd.get(), static_cast<off_t>(length)) != 0) return nullptr;
    // The compositor maps the same memory; sealing the size keeps it from being shrunk under
    // either side.
    ::fcntl(fd.get(), F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_SEAL);
    void* memory = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
    if (memory == MAP_FAILED) return nullptr;

    wl_shm_pool* pool = wl_shm_create_pool(shm, fd.get(), static_cast<int32_t>(length));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(),
                                  static_cast<int32_t>(stride), WL_SHM_FORMAT_ARGB8888);
    // The buffer keeps the pool's memory alive on both sides.
    wl_shm_pool_destroy(pool);
    return std::unique_ptr<ShmBuffer>(new ShmBuffer(memory, length, buffer, pixels));
}

// ARGB8888 is a native-endian 32-bit 0xAARRGGBB with premultiplied colour, which is what
// QImage::Format_ARGB32_Premultiplied holds.
ShmBuffer::ShmBuffer(void* memory, std::size_t length, wl_buffer* buffer, QSize pixels)
    : memory_(memory),
      length_(length),
      buffer_(buffer),
      image_(static_cast<uchar*>(memory), pixels.width(), pixels.height(), pixels.width() * 4,
             QImage::Format_ARGB32_Premultiplied) {
    static const wl_buffer_listener listener = {.release = [](void* data, wl_buffer*) {
        // A copy: the owner may destroy this buffer, and with it the callback, from inside.
        const auto onRelease = static_cast<ShmBuffer*>(data)->onRelease_;
        if (onRelease) onRelease();
    }};
    wl_buffer_add_listener(buffer_.get(), &listener, this);
}

ShmBuffer::~ShmBuffer() {
    buffer_.reset();
    image_ = QImage();  // lets go of the memory before it is unmapped
    ::munmap(memory_, length_);
}

}  // namespace ambrel::wayland
