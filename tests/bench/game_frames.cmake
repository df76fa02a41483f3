# The crowded levels are made as the world tests make them.
target_sources(bench_game_frames PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../world/CrowdedLevel.cpp)
