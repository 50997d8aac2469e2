# The Debian package, built by CPack from the install rules (`make deb`).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volmarin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The VOLMARIN developers <dev@volmarin.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${VOLMARIN_PACKAGE_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works out the libraries; the face and the SoundFont for the
# music are needed at run time but not linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-play, timgm6mb-soundfont | sf2-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VOLMARIN_WEB_URL})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vector arcade game: shoot drifting rocks to pieces")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "VOLMARIN is a real-time arcade game for one player. A small vector ship
turns, thrusts, bounces off the edges and jumps through hyperspace, firing
one of four weapons (Gun, Laser, Missile and A-Bomb) at drifting polygonal
rocks that split along chords until only fading segments remain.

Power-ups drift out of the wreckage, green hunters chase the ship, levels
follow levels, and two ship designs come with their own sound sets. The ten
best scores are kept between games.")
include(CPack)
