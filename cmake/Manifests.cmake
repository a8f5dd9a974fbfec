cmake_minimum_required(VERSION 3.20)
# Writes beside the zips of VERSION in DIST what the users' package managers and a cautious user
# need: SHA256SUMS (as sha256sum -c reads it), the Scoop manifest brevantor.json and winget's three
# manifests in DIST/winget. Run by tools/package: cmake -DVERSION=... -DDIST=... -P Manifests.cmake
set(source ${CMAKE_CURRENT_LIST_DIR}/../res/dist)
include(${source}/Published.cmake)

# The files the program keeps beside itself, which Scoop keeps across updates. Add each new one
# here. Scoop makes a missing one empty before the first start (a persisted name that exists
# nowhere would become a folder), so the program must read each of them when it is empty.
set(KEPT_BESIDE_PROGRAM Settings.ini)

set(DESCRIPTION "Copies file times (creation, last write, last access) between files and folders")

set(sums "")
foreach(arch win64 win32)
  set(zip brevantor-${VERSION}-${arch}.zip)
  if(NOT EXISTS ${DIST}/${zip})
    message(FATAL_ERROR "${DIST}/${zip} is missing")
  endif()
  file(SHA256 ${DIST}/${zip} SHA256_${arch})
  string(TOUPPER ${SHA256_${arch}} SHA256_UPPER_${arch})
  string(APPEND sums "${SHA256_${arch}}  ${zip}\n")
  string(REPLACE "$arch" ${arch} URL_TEMPLATE_${arch} "${ZIP_URL}")
  string(REPLACE "$version" ${VERSION} URL_${arch} "${URL_TEMPLATE_${arch}}")
endforeach()
file(WRITE ${DIST}/SHA256SUMS "${sums}")

# One list for all three: Scoop's persist names; the install step that makes the missing ones; and
# the uninstall step (an update runs it too) that copies each back into Scoop's persist folder,
# since a save that replaces the file cuts Scoop's hard link to it.
list(TRANSFORM KEPT_BESIDE_PROGRAM REPLACE "(.+)" "\"\\1\"" OUTPUT_VARIABLE quoted)
list(JOIN quoted ", " PERSIST_LIST)
set(PERSIST_LIST "[${PERSIST_LIST}]")
list(TRANSFORM KEPT_BESIDE_PROGRAM REPLACE "(.+)" "'\\1'" OUTPUT_VARIABLE quoted)
list(JOIN quoted ", " names)
set(PERSIST_PRE_INSTALL "@(${names}) | Where-Object { !(Test-Path \\\"$persist_dir\\\\$_\\\") } | ForEach-Object { New-Item -ItemType File \\\"$dir\\\\$_\\\" | Out-Null }")
set(PERSIST_PRE_UNINSTALL "@(${names}) | Where-Object { $persist_dir -and (Test-Path \\\"$dir\\\\$_\\\" -PathType Leaf) } | ForEach-Object { [IO.File]::WriteAllBytes(\\\"$persist_dir\\\\$_\\\", [IO.File]::ReadAllBytes(\\\"$dir\\\\$_\\\")) }")

configure_file(${source}/brevantor.json.in ${DIST}/brevantor.json @ONLY)
foreach(manifest Brevantor.Brevantor Brevantor.Brevantor.installer Brevantor.Brevantor.locale.en-US)
  configure_file(${source}/winget/${manifest}.yaml.in ${DIST}/winget/${manifest}.yaml @ONLY)
endforeach()
