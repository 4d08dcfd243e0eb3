# The Debian package (make package): CPack's DEB generator with the dependencies computed
# from the program's shared libraries, a stripped program and the files of dist/.
set(KX_MAINTAINER "Kryx Space developers <kryxspace@users.noreply.invalid>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kryxspace)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_CONTACT "${KX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 3D arcade space shooter")
# The long description; CPack puts the summary above it and indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Fly a ship, and in the last level an astronaut on foot, against rocks,
saucers and their fireballs through four levels. Hits score points, being
hit drains an energy bar, and the best ten results are kept with the
player's name. The game's texts are in Italian.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts are found through fontconfig at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
