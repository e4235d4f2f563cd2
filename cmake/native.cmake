# Linux build: the portable logic, GoogleTest with ASan and UBSan.
find_package(GTest REQUIRED)

set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(portable STATIC ${PORTABLE_SOURCES})
target_include_directories(portable PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(portable PUBLIC ${SANITIZE} -Wall -Wextra -Werror)
target_link_options(portable PUBLIC ${SANITIZE})

add_subdirectory(tests/native)
add_subdirectory(tests/fuzz)
