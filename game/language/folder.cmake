# The key list and the text tables are data files; a small generator turns them into C++ at build time.
set(LANGUAGE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(LANGUAGE_GENERATED_DIR ${CMAKE_CURRENT_BINARY_DIR}/generated/game/language)
set(LANGUAGE_DATA_FILES ${LANGUAGE_DIR}/keys.txt ${LANGUAGE_DIR}/english.txt ${LANGUAGE_DIR}/german.txt)

# The generator is a host tool, not part of the game library.
list(FILTER GAME_SOURCES EXCLUDE REGEX "/game/language/generator/")
add_executable(languagegen ${LANGUAGE_DIR}/generator/LanguageTableGenerator.cpp)
target_compile_options(languagegen PRIVATE ${TOBBLE_WARNINGS})
set_target_properties(languagegen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tools)

file(MAKE_DIRECTORY ${LANGUAGE_GENERATED_DIR})
add_custom_command(
  OUTPUT ${LANGUAGE_GENERATED_DIR}/StringIds.h ${LANGUAGE_GENERATED_DIR}/LanguageTables.cpp
  COMMAND languagegen ${LANGUAGE_DIR}/keys.txt ${LANGUAGE_GENERATED_DIR} ${LANGUAGE_DIR}/english.txt
          ${LANGUAGE_DIR}/german.txt
  DEPENDS languagegen ${LANGUAGE_DATA_FILES}
  COMMENT "Generating the text tables"
  VERBATIM)
list(APPEND GAME_EXTRA_SOURCES ${LANGUAGE_GENERATED_DIR}/StringIds.h ${LANGUAGE_GENERATED_DIR}/LanguageTables.cpp)
