# Fennick's program shell (its window, menu, texts and settings) is a library of its own, so the
# other tools that link the tool shell do not link the conversion.
file(GLOB fennick_shell_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fennick/*.cpp)
add_library(fennick_shell STATIC ${fennick_shell_SOURCES})
target_link_libraries(fennick_shell PUBLIC extractor toolshell svc platform)
