# Warning and sanitizer flags shared by every target of the project.
add_library(ambrel_build_flags INTERFACE)
target_compile_options(ambrel_build_flags INTERFACE -Wall -Wextra -Wpedantic)
if(AMBREL_WERROR)
  target_compile_options(ambrel_build_flags INTERFACE -Werror)
  # GCC 12 at -O3 reports std::string and std::optional code it has inlined as overlapping
  # copies, over-reads and uninitialised reads that cannot happen (GCC bugs 105329, 105651,
  # 107138). They stay warnings there, so an optimised build of a correct tree never fails;
  # the -O2 and -O0 builds of CI keep them as errors.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(ambrel_build_flags INTERFACE
      $<$<CONFIG:Release,MinSizeRel>:-Wno-error=restrict;-Wno-error=stringop-overread;-Wno-error=maybe-uninitialized>)
  endif()
endif()
if(AMBREL_SANITIZE)
  target_compile_options(ambrel_build_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(ambrel_build_flags INTERFACE -fsanitize=address,undefined)
endif()
# Hardening as Debian builds its own packages (dpkg-buildflags): checked string and memory
# functions where the compiler knows the sizes (which needs an optimised build), a stack
# protector, and a relocation table made read-only once bound at start.
target_compile_options(ambrel_build_flags INTERFACE -fstack-protector-strong
  $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
target_link_options(ambrel_build_flags INTERFACE LINKER:-z,relro LINKER:-z,now)
