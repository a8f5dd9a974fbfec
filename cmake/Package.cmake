# What a Windows user downloads: brevantor-VERSION-win32.zip or -win64.zip, holding the program,
# its help page, a short readme and the change log (`cmake --build --preset win64 --target package`).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(BREVANTOR_PACKAGE_ARCH win64)
  set(BREVANTOR_PACKAGE_SYSTEM "64-bit Windows")
  set(BREVANTOR_PACKAGE_ADVICE "this is the program for 64-bit Windows, which nearly every PC
runs today. For 32-bit Windows take brevantor-${PROJECT_VERSION}-win32.zip.")
else()
  set(BREVANTOR_PACKAGE_ARCH win32)
  set(BREVANTOR_PACKAGE_SYSTEM "32-bit Windows")
  set(BREVANTOR_PACKAGE_ADVICE "this is the program for 32-bit Windows. It runs on 64-bit Windows
too, but there brevantor-${PROJECT_VERSION}-win64.zip is the better choice.")
endif()
configure_file(res/readme.txt.in ${CMAKE_CURRENT_BINARY_DIR}/readme.txt @ONLY NEWLINE_STYLE CRLF)

set(folder brevantor-${PROJECT_VERSION}-${BREVANTOR_PACKAGE_ARCH})
install(TARGETS brevantor RUNTIME DESTINATION ${folder})
install(DIRECTORY res/Help DESTINATION ${folder})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/readme.txt CHANGELOG.md DESTINATION ${folder})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME brevantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${folder})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
