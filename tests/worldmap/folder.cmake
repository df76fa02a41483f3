# The world-map tests run the real game over the built archives.
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
