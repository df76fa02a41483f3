# The country list is a data file; its rows become an array initialiser at configure time.
set(COUNTRY_LIST_FILE ${CMAKE_CURRENT_LIST_DIR}/countries.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${COUNTRY_LIST_FILE})
file(STRINGS ${COUNTRY_LIST_FILE} COUNTRY_ROWS REGEX "^[^#]")
set(COUNTRY_TABLE_ROWS "")
foreach(row ${COUNTRY_ROWS})
  string(REGEX MATCH "^([-A-Z][-A-Z]) +(-?[0-9.]+) +(-?[0-9.]+) *$" matched "${row}")
  if(NOT matched)
    message(FATAL_ERROR "countries.txt: bad row '${row}'")
  endif()
  string(APPEND COUNTRY_TABLE_ROWS "    {u\"${CMAKE_MATCH_1}\", ${CMAKE_MATCH_2}f, ${CMAKE_MATCH_3}f},\n")
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/generated/game/online/CountryRows.inc
     CONTENT "// Generated from game/online/countries.txt.\n${COUNTRY_TABLE_ROWS}" @ONLY)
