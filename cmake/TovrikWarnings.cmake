# Warnings every Tovrik target compiles with.
add_library(tovrik_warnings INTERFACE)
target_compile_options(tovrik_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
