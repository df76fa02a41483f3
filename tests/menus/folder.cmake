# The menu tests run the real loader over the built archives.
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
