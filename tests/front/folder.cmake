# The start-up tests run the loader over the built archives, and one runs the program itself.
if(TARGET game_data)
  add_dependencies(test_${name} game_data)
endif()
add_dependencies(test_${name} tobble)
