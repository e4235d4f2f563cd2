# Windows builds: quillmar.exe with no C runtime, and (64-bit) its Windows-side tests.
enable_language(RC)

# The program's own code: no runtime, no exceptions, no RTTI, nothing run before the entry point.
set(FREESTANDING_FLAGS
  ${QUILLMAR_ARCH_FLAGS}
  -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
  -fno-threadsafe-statics -fno-stack-protector -fno-stack-check
  -fno-tree-loop-distribute-patterns
  -fno-ident
  -Wall -Wextra -Werror)

add_library(portable STATIC ${PORTABLE_SOURCES} sysini/win32_fileops.cpp)
target_include_directories(portable PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(portable PRIVATE ${FREESTANDING_FLAGS})

set(APP_SOURCES
  app/entry.cpp
  app/memory.cpp
  app/main_window.cpp
  app/run.cpp
  app/commands.cpp
  app/about.cpp
  report/report.cpp
  res/quillmar.rc
)
# Our own memset and memcpy must not be compiled into calls to themselves.
set_source_files_properties(app/memory.cpp PROPERTIES COMPILE_OPTIONS "-fno-builtin")

add_executable(quillmar WIN32 ${APP_SOURCES})
target_include_directories(quillmar PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(quillmar PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${FREESTANDING_FLAGS}>)
set_target_properties(quillmar PROPERTIES LINKER_LANGUAGE CXX)
# Only the system DLLs, no start-up files, libgcc for what the compiler calls by itself.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
target_link_options(quillmar PRIVATE
  -nostdlib -nostartfiles -static-libgcc -s -Wl,--no-insert-timestamp
  -Wl,--disable-dynamicbase -Wl,--disable-reloc-section -Wl,--gc-sections
  -Wl,--subsystem,windows:4.0
  -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
target_link_libraries(quillmar PRIVATE portable kernel32 user32 gdi32 version gcc)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_subdirectory(tests/win)
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_test(NAME shipped_file_loads_on_windows95 COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check-pe.sh $<TARGET_FILE:quillmar>)
  # What make dist built from this file: the zip, the floppy and CD images, README.TXT.
  add_test(NAME dist_artefacts COMMAND bash ${PROJECT_SOURCE_DIR}/tools/check-dist.sh $<TARGET_FILE:quillmar> ${PROJECT_SOURCE_DIR}/build/dist)
endif()
