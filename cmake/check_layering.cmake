# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source of the program's folders includes a header by a path that climbs out of its
# folder ("../main_window/casino.h"). The folders reach each other only through the include
# paths their links give them, so that a lower layer cannot quietly use a higher one.
# Run as: cmake -DROOT=<source dir> -DFOLDERS=<folder;...> -P check_layering.cmake
set(offenders "")
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" climbing REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\./")
    if(climbing)
      file(RELATIVE_PATH name "${ROOT}" "${source}")
      list(APPEND offenders "${name}: ${climbing}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "An include reaches out of its folder; link the library instead:\n  ${text}")
endif()
