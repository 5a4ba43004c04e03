# Warning and sanitizer flags shared by every target of the project.
add_library(ambrel_build_flags INTERFACE)
target_compile_options(ambrel_build_flags INTERFACE -Wall -Wextra -Wpedantic)
if(AMBREL_WERROR)
  target_compile_options(ambrel_build_flags INTERFACE -Werror)
endif()
if(AMBREL_SANITIZE)
  target_compile_options(ambrel_build_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(ambrel_build_flags INTERFACE -fsanitize=address,undefined)
endif()
