#pragma once

// What every target checks beyond the sanitizers: a promise of the code under test that does
// not hold stops the run like a crash, so libFuzzer saves the input and the script fails.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ambrel::fuzz {

inline void require(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "==ambrel-fuzz== broken property: %s\n", promise);
    std::abort();
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace ambrel::fuzz
