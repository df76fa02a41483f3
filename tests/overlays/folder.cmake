# The overlay tests play levels in the shared level environment of the level tests.
target_sources(test_overlays PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../level/LevelFixture.cpp)
target_include_directories(test_overlays PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../level)
