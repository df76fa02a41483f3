# The level tests read the level sources (through the data builder's parser) and play the built levels.
target_link_libraries(test_${name} PRIVATE databuilder_core)
target_compile_definitions(test_${name} PRIVATE LEVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}/tools/levels")
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
