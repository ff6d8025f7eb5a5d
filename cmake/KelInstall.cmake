# Installs the header, both libraries, a CMake package (find_package(kel)
# gives kel::kel) and a pkg-config file kel.pc.
include(CMakePackageConfigHelpers)

install(FILES ${PROJECT_SOURCE_DIR}/include/graphics.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS kel kel_shared EXPORT kelTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kel-demo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(WIN32)
  set(KEL_PC_PRIVATE_LIBS "-luser32 -lgdi32 -lcomdlg32 -lole32 -loleaut32 -luuid")
  set(KEL_PC_REQUIRES "")
  set(KEL_CONFIG_DEPENDENCIES "")
else()
  set(KEL_PC_PRIVATE_LIBS "-lpthread -ldl -lm")
  set(KEL_PC_REQUIRES "freetype2 fontconfig libpng libjpeg")
  if(GIF_FOUND)
    string(APPEND KEL_PC_PRIVATE_LIBS " -lgif")
  endif()
  if(X11_FOUND)
    string(APPEND KEL_PC_REQUIRES " x11")
    if(X11_Xext_FOUND)
      string(APPEND KEL_PC_REQUIRES " xext")
    endif()
  endif()
endif()

# The static library is what a program links by default, so its private
# dependencies are listed as public ones in kel.pc. kel-compat.pc adds the
# DOS and Windows companion headers of classic programs.
# Installed, they find the prefix from their own place, libdir/pkgconfig.
file(RELATIVE_PATH KEL_PC_UP ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KEL_PC_UP "${KEL_PC_UP}")
set(KEL_PC_PREFIX "\${pcfiledir}/${KEL_PC_UP}")
set(KEL_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
set(KEL_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
foreach(pc kel kel-compat)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
# The same for the build tree (tests and CI): the headers of the sources and
# the libraries of the build.
set(KEL_BUILD_PKGCONFIG_DIR ${PROJECT_BINARY_DIR}/build-pkgconfig)
set(KEL_PC_PREFIX ${PROJECT_BINARY_DIR})
set(KEL_PC_LIBDIR ${PROJECT_BINARY_DIR})
set(KEL_PC_INCLUDEDIR ${PROJECT_SOURCE_DIR}/include)
foreach(pc kel kel-compat)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in ${KEL_BUILD_PKGCONFIG_DIR}/${pc}.pc @ONLY)
endforeach()

# Compiler wrappers for classic programs, installed and in the build tree.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS kel_classic_main ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH KEL_BIN_TO_PC ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig)
foreach(language c c++)
  if(language STREQUAL "c")
    set(KEL_WRAPPER_NAME kel-cc)
    set(KEL_WRAPPER_ENV KEL_CC)
    set(KEL_WRAPPER_COMPILER cc)
  else()
    set(KEL_WRAPPER_NAME kel-c++)
    set(KEL_WRAPPER_ENV KEL_CXX)
    set(KEL_WRAPPER_COMPILER c++)
  endif()
  set(KEL_WRAPPER_LANGUAGE ${language})
  set(KEL_WRAPPER_PCDIR ${KEL_BIN_TO_PC})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kel-compiler.in
    ${PROJECT_BINARY_DIR}/install-bin/${KEL_WRAPPER_NAME} @ONLY)
  install(PROGRAMS ${PROJECT_BINARY_DIR}/install-bin/${KEL_WRAPPER_NAME}
    DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(KEL_WRAPPER_PCDIR ${KEL_BUILD_PKGCONFIG_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/kel-compiler.in
    ${PROJECT_BINARY_DIR}/build-bin/${KEL_WRAPPER_NAME} @ONLY)
  file(COPY ${PROJECT_BINARY_DIR}/build-bin/${KEL_WRAPPER_NAME} DESTINATION ${PROJECT_BINARY_DIR}/bin
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)
endforeach()

install(EXPORT kelTargets NAMESPACE kel:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kelConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelConfig.cmake ${PROJECT_BINARY_DIR}/kelConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
