# The online pages run the real loader over the built archives and share the menu tests' fixture.
target_sources(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menus/MenuFixture.cpp)
target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/menus)
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
