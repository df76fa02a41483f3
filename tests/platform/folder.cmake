# The sound tests encode their own little Ogg Vorbis files.
pkg_check_modules(PLATFORM_TEST_VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
target_link_libraries(test_platform PRIVATE PkgConfig::PLATFORM_TEST_VORBISENC)
