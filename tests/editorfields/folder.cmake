# The editor-field tests play levels in the shared level fixture over the built archives.
target_sources(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/level/LevelFixture.cpp)
target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/level)
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
