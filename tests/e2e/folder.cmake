# The end-to-end test runs the program's own start and loop over the built archives, and reads the level
# routes through the data builder's parser.
target_link_libraries(test_${name} PRIVATE tobble_entry databuilder_core)
target_compile_definitions(test_${name} PRIVATE LEVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}/tools/levels")
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
