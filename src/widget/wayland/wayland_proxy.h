#pragma once

// Owning handles for libwayland-client proxies: each kind is destroyed by its own request or
// function, named in the type, so no path out can forget it.
//   Proxy<wl_surface, destroySurface> surface(wl_compositor_create_surface(compositor));
// The scanner's own functions are static inline, which a type shared between files cannot
// name, so the core interfaces' ones are wrapped here.

#include <wayland-client.h>

#include <memory>

namespace ambrel::wayland {

void destroyRegistry(wl_registry* registry);
void destroyCompositor(wl_compositor* compositor);
void destroyShm(wl_shm* shm);
void destroyBuffer(wl_buffer* buffer);
void destroySurface(wl_surface* surface);

template <typename T, auto Destroy>
struct ProxyDeleter {
    void operator()(T* proxy) const {
        if (proxy) Destroy(proxy);
    }
};

template <typename T, auto Destroy>
using Proxy = std::unique_ptr<T, ProxyDeleter<T, Destroy>>;

}  // namespace ambrel::wayland
