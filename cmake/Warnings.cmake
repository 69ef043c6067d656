# Compiler flags shared by every target of the project.
add_library(vexal_flags INTERFACE)
target_compile_options(vexal_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
if(VEXAL_WERROR)
  target_compile_options(vexal_flags INTERFACE -Werror)
endif()
if(VEXAL_SANITIZE)
  target_compile_options(vexal_flags INTERFACE -fsanitize=address,undefined
                                               -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(vexal_flags INTERFACE -fsanitize=address,undefined)
endif()
