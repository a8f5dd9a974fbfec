cmake_minimum_required(VERSION 3.20)
# Fails unless the program carries its manifest (common controls 6, DPI awareness, the UTF-8 code
# page, any processor architecture) and its version resource. The manifest is stored as it is
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
message(STATUS "manifest and version ${VERSION} found")
