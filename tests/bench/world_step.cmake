# The world benchmark plays its level in the level tests' environment (the game's data loaded).
target_sources(bench_world_step PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../level/LevelFixture.cpp)
target_include_directories(bench_world_step PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../level ${CMAKE_CURRENT_LIST_DIR}/..)
target_compile_definitions(bench_world_step PRIVATE TOBBLE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
