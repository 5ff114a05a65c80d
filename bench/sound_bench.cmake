# The sound benchmark; bench/CMakeLists.txt takes it in with
# include(sound_bench.cmake).
add_executable(sound_bench ${CMAKE_CURRENT_LIST_DIR}/sound_bench.cpp)
target_link_libraries(sound_bench PRIVATE varnel_sound)
target_compile_definitions(sound_bench PRIVATE SOUND_DIR="${CMAKE_BINARY_DIR}/sounds")
add_dependencies(sound_bench sounds)
