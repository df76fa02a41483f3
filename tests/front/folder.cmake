# The start-up tests run the loader over the built archives.
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
