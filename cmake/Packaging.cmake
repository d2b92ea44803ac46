# What a release holds, and the packages CPack makes of it (see the package presets and
# tools/release). The version is the project's; everything below takes it from there.

# The man page, with the version filled in, and the manual as plain text for Windows users.
configure_file(${PROJECT_SOURCE_DIR}/doc/locate-jvm.1.in ${PROJECT_BINARY_DIR}/locate-jvm.1 @ONLY)

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  # A zip to unpack anywhere: the program, the README, the license and the manual side by side.
  find_program(GROFF groff REQUIRED)
  add_custom_command(OUTPUT locate-jvm.txt
    COMMAND ${GROFF} -man -Tascii -P-cbou ${PROJECT_BINARY_DIR}/locate-jvm.1 > locate-jvm.txt
    DEPENDS ${PROJECT_BINARY_DIR}/locate-jvm.1 VERBATIM)
  add_custom_target(manual_text ALL DEPENDS locate-jvm.txt)
  install(TARGETS locate-jvm RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  install(FILES ${PROJECT_BINARY_DIR}/locate-jvm.txt DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  install(TARGETS locate-jvm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/locate-jvm.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/locate-jvm RENAME copyright)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ DEB)
endif()

set(CPACK_PACKAGE_NAME locate-jvm)
set(CPACK_PACKAGE_VENDOR "the locate-jvm authors")
set(CPACK_PACKAGE_CONTACT "the locate-jvm authors <locate-jvm@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "tell whether a Java VM of version 1.5 or later is installed")
set(CPACK_PACKAGE_DESCRIPTION
    "locate-jvm answers, by its exit status, whether a Java VM of version 1.5 or later is \
installed and where its VM library is: it searches JAVA_HOME, then the JDK and the JRE \
registered under HKEY_LOCAL_MACHINE. On Linux it reads the registry of a Wine prefix from \
disk, so it tells whether the prefix holds a usable Java without starting Wine.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36)")
# Same bytes from every build: fixed times, permissions and owners in the staged tree.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/NormalizeStaging.cmake)
include(CPack)
