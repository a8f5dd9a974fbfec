cmake_minimum_required(VERSION 3.20)
# Fails unless the program carries its manifest (common controls 6, DPI awareness, the UTF-8 code
# page, any processor architecture), its version resource and its icon, number 1 and first of the
# file, with a picture of every size the system asks for. The manifest is stored as it is
# written; the version strings are UTF-16.
file(STRINGS ${EXE} manifest REGEX "Common-Controls|dpiAware|activeCodePage|processorArchitecture")
string(JOIN "\n" manifest ${manifest})
foreach(needed "Microsoft.Windows.Common-Controls" "<dpiAware" ">UTF-8</activeCodePage>"
               "processorArchitecture=\"\\*\"")
  if(NOT manifest MATCHES "${needed}")
    message(FATAL_ERROR "${EXE}: the manifest lacks ${needed}")
  endif()
endforeach()
file(STRINGS ${EXE} version ENCODING UTF-16LE REGEX "^(Brevantor|${VERSION}|ProductName|FileDescription)")
foreach(needed ProductName FileDescription Brevantor ${VERSION})
  if(NOT needed IN_LIST version)
    message(FATAL_ERROR "${EXE}: the version resource lacks ${needed}")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/check_icons.cmake)
if(NOT ICON_GROUP_ID EQUAL 1)
  message(FATAL_ERROR "${EXE}: the first icon is number ${ICON_GROUP_ID}, not 1")
endif()
foreach(size 16 20 24 32 40 48 64 256)
  if(NOT size IN_LIST ICON_SIZES)
    message(FATAL_ERROR "${EXE}: the icon has no ${size}-pixel picture (it has ${ICON_SIZES})")
  endif()
endforeach()
message(STATUS "manifest, version ${VERSION} and icon sizes ${ICON_SIZES} found")
