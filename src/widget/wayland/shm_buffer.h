#pragma once

// One picture handed to the compositor: shared memory (an anonymous memfd) seen by the
// compositor as a wl_buffer and by QPainter as a QImage over the same bytes. The compositor
// reads it until it says the buffer is released; the owner learns that through `onRelease`.

#include <wayland-client.h>

#include <QImage>
#include <QSize>
#include <cstddef>
#include <functional>
#include <memory>

#include "widget/wayland/wayland_proxy.h"

namespace ambrel::wayland {

class ShmBuffer {
  public:
    // ARGB8888 of `pixels`; null when the memory cannot be had.
    static std::unique_ptr<ShmBuffer> create(wl_shm* shm, QSize pixels);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    wl_buffer* handle() const { return buffer_.get(); }
    // The buffer's pixels; valid as long as the buffer lives.
    QImage& image() { return image_; }
    QSize size() const { return image_.size(); }

    // May destroy the buffer.
    void setOnRelease(std::function<void()> onRelease) { onRelease_ = std::move(onRelease); }

  private:
    ShmBuffer(void* memory, std::size_t length, wl_buffer* buffer, QSize pixels);

    void* memory_;
    std::size_t length_;
    Proxy<wl_buffer, destroyBuffer> buffer_;
    QImage image_;
    std::function<void()> onRelease_;
};

}  // namespace ambrel::wayland
