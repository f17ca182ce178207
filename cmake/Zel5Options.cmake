# Options every target of ours is built with.
#
# The numeric results of the filters and the resampler are exact doubles:
# contracting a*b+c into an FMA, or any fast-math rewriting, changes their
# last bits, so both are off everywhere.
add_compile_options(-ffp-contract=off -fno-fast-math)

# A module must really go when its host unloads it: that is when detach
# stops a running recording. A symbol of GNU "unique" binding pins a shared
# object in memory for the life of the process, and template statics of the
# standard library get that binding unless asked otherwise.
if(NOT WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
endif()

if(ZEL5_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(ZEL5_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ZEL5_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ZEL5_SANITIZE must be empty, address or thread")
endif()

# The folder of src/platform that implements the OS services here.
if(WIN32)
  set(ZEL5_PLATFORM_DIR win32)
else()
  set(ZEL5_PLATFORM_DIR posix)
endif()

# Programs and the modules they load side by side, as they are installed.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# Warnings as errors on our own code (not on what the system packages bring).
add_library(zel5_warnings INTERFACE)
target_compile_options(zel5_warnings INTERFACE -Wall -Wextra -Werror)

# The public contracts: C-compatible headers other programs build against.
add_library(zel5_headers INTERFACE)
target_include_directories(zel5_headers INTERFACE ${PROJECT_SOURCE_DIR}/include)
