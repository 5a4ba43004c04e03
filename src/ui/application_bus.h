#pragma once

// Where the running application answers on the session bus: it holds the well-known name, so a
// second start finds it, and exports the freedesktop Application interface, whose Activate
// brings its window to the front. The widget's panel indicator calls the same method.

namespace ambrel::ApplicationBus {

inline constexpr const char* kService = "com.corvane.ambrel";
inline constexpr const char* kPath = "/com/corvane/ambrel";
inline constexpr const char* kInterface = "org.freedesktop.Application";
inline constexpr const char* kActivate = "Activate";

}  // namespace ambrel::ApplicationBus
