# Where `make install` and the package put things. A user install keeps the usual bin/ and
# share/kryxspace/; the Debian package sets KX_INSTALL_BINDIR=games and
# KX_INSTALL_DATAROOT=share/games/kryxspace. The program finds its data from its own folder
# through KX_DATA_FROM_PROGRAM, so an install under any prefix works.
include(GNUInstallDirs)
set(KX_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR} CACHE STRING "Folder of the program, under the prefix")
set(KX_INSTALL_DATAROOT ${CMAKE_INSTALL_DATADIR}/kryxspace
    CACHE STRING "Folder of the data set and the help, under the prefix")

file(RELATIVE_PATH KX_DATA_FROM_PROGRAM /prefix/${KX_INSTALL_BINDIR} /prefix/${KX_INSTALL_DATAROOT}/data)
string(REPLACE "/" "\\\\" KX_DATA_FROM_PROGRAM "${KX_DATA_FROM_PROGRAM}")
set(KX_INSTALLED_DATA_DIR ${CMAKE_INSTALL_PREFIX}/${KX_INSTALL_DATAROOT}/data)
