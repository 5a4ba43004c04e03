#include "widget/wayland/wayland_proxy.h"

namespace ambrel::wayland {

void destroyRegistry(wl_registry* registry) {
    wl_registry_destroy(registry);
}

void destroyCompositor(wl_compositor* compositor) {
    wl_compositor_destroy(compositor);
}

void destroyShm(wl_shm* shm) {
    wl_shm_destroy(shm);
}

void destroyBuffer(wl_buffer* buffer) {
    wl_buffer_destroy(buffer);
}

void destroySurface(wl_surface* surface) {
    wl_surface_destroy(surface);
}

}  // namespace ambrel::wayland
