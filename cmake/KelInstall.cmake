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
  set(KEL_PC_PRIVATE_LIBS "-lpthread -ldl")
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
# dependencies are listed as public ones in kel.pc.
# kel.pc finds the prefix from its own place, libdir/pkgconfig.
file(RELATIVE_PATH KEL_PC_UP ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KEL_PC_UP "${KEL_PC_UP}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/kel.pc.in ${PROJECT_BINARY_DIR}/kel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(EXPORT kelTargets NAMESPACE kel:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/kelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kelConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kelConfig.cmake ${PROJECT_BINARY_DIR}/kelConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kel)
