# Fails when an #include crosses the layering of the tree: a file may include headers of its
# own folder and of the folders its row below names, nothing else. A folder is the longest row
# name that starts the file's path; a header is found relative to the including file or under
# some folder's include/ directory (headers of the system and of outside libraries are not
# looked at). Files under tests/, bench/ and fuzz/ may also include platform/testing. The
# table itself must run one way: no chain of rows may lead back to where it started.
#
#   cmake -DSOURCE_DIR=<tree> -P cmake/CheckLayering.cmake

cmake_minimum_required(VERSION 3.25)

set(base "platform/win32 platform/win32/gdi platform/mfc")
set(rows
  "platform/win32:"
  "platform/win32/fontface: platform/win32"
  "platform/win32/gdi: platform/win32 platform/win32/fontface"
  "platform/win32/ole: platform/win32"
  "platform/mfc: platform/win32 platform/win32/gdi"
  "platform/xcb: platform/imaging rasterkit guardalloc pathkit ${base}"
  "platform/testing: ${base}"
  "platform/comm32: ${base}"
  "platform/cutterlink: ${base}"
  "platform/compressor: ${base}"
  "platform/imaging: rasterkit guardalloc pathkit ${base}"
  "platform/appmain: platform/imaging ${base}"
  "imgfilters: platform/imaging ${base}"
  "platform/pcutlib: platform/cutterlink ${base}"
  "platform/summausb: platform/cutterlink ${base}"
  "platform/hhctrl: platform/win32"
  "platform/outline/contract:"
  "platform/outline: platform/outline/contract pathkit ${base}"
  "guardalloc: ${base}"
  "pathkit: guardalloc platform/outline/contract ${base}"
  "geomkit: ${base}"
  "rasterkit: guardalloc pathkit ${base}"
  "traceconv: pathkit ${base}"
  "converters/common: pathkit ${base}"
  "converters: converters/common pathkit ${base}"
  "settings: pathkit ${base}"
  "plotterdriver: ${base}"
  "plot: plotterdriver settings geomkit pathkit ${base}"
  "drivers/frame: plotterdriver settings platform/comm32 ${base}"
  "drivers: drivers/frame plotterdriver settings platform/comm32 platform/pcutlib platform/summausb ${base}"
  "cutterman: plot plotterdriver settings pathkit ${base}"
  "signdesk/shared: rasterkit platform/imaging guardalloc ${base}"
  "signdesk/output: signdesk/shell plot plotterdriver settings rasterkit geomkit guardalloc pathkit ${base}"
  "signdesk/text: signdesk/model signdesk/shared signdesk/output signdesk/shell settings rasterkit pathkit ${base}"
  "signdesk/shell: settings rasterkit guardalloc pathkit ${base}"
  "signdesk/shell/sheet: signdesk/shell settings guardalloc pathkit ${base}"
  "signdesk/shell/doc: platform/win32/ole signdesk/shell/sheet signdesk/model signdesk/shared signdesk/output signdesk/shell settings rasterkit guardalloc pathkit platform/imaging ${base}"
  "signdesk/shell/dialogs: signdesk/shell/doc platform/win32/ole signdesk/shell/sheet signdesk/model signdesk/shared signdesk/output signdesk/shell settings rasterkit guardalloc pathkit platform/imaging ${base}"
  "signdesk/tools: signdesk/shell/dialogs signdesk/shell/doc platform/win32/ole signdesk/shell/sheet signdesk/text signdesk/model signdesk/shared signdesk/output signdesk/shell settings rasterkit guardalloc pathkit platform/imaging ${base}"
  "signdesk/model: signdesk/shared signdesk/output signdesk/shell settings rasterkit pathkit ${base}"
  "signdesk/content: signdesk/model signdesk/shared signdesk/output signdesk/shell settings rasterkit pathkit platform/imaging platform/compressor guardalloc ${base}"
  "signdesk/shell/app: signdesk/text signdesk/shell/doc signdesk/shell/sheet signdesk/shell signdesk/model signdesk/shared signdesk/output settings rasterkit guardalloc pathkit platform/imaging ${base}"
  "signdesk/shell/view: signdesk/shell/app signdesk/content signdesk/shell/doc signdesk/shell/sheet signdesk/shell signdesk/model signdesk/shared signdesk/output plot plotterdriver settings rasterkit guardalloc pathkit platform/imaging ${base}"
  "signdesk/shell/view/bench: signdesk/shell/view signdesk/text signdesk/shell/app signdesk/shell/doc signdesk/shell/sheet signdesk/shell signdesk/model settings pathkit ${base}"
  "signdesk/tools: signdesk/shell/view signdesk/shell/app signdesk/content signdesk/shell/dialogs signdesk/shell/doc platform/win32/ole signdesk/shell/sheet signdesk/text signdesk/model signdesk/shared signdesk/output signdesk/shell settings rasterkit guardalloc pathkit platform/imaging ${base}"
  "signdesk/bench: signdesk/text signdesk/shell/app signdesk/shell/doc signdesk/shell/sheet signdesk/shell signdesk/model settings pathkit ${base}"
  "signdesk/tests: signdesk/text signdesk/shell/app signdesk/shell/doc signdesk/shell/sheet signdesk/shell signdesk/model signdesk/shared signdesk/output settings rasterkit guardalloc pathkit platform/imaging ${base}"
)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
# A relative tree is taken from the current directory.
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

set(folders "")
foreach(row IN LISTS rows)
  string(REGEX MATCH "^([^:]+):(.*)$" _ "${row}")
  set(folder "${CMAKE_MATCH_1}")
  string(STRIP "${CMAKE_MATCH_2}" allowed)
  string(REPLACE " " ";" allowed "${allowed}")
  set("allowed_${folder}" ${allowed})
  list(APPEND folders "${folder}")
endforeach()

# The table itself runs one way: every folder named has a row, and the rows can be ordered so
# that each names only folders before it.
set(placed "")
set(waiting ${folders})
foreach(folder IN LISTS folders)
  foreach(below IN LISTS allowed_${folder})
    if(NOT below IN_LIST folders)
      message(FATAL_ERROR "The row of ${folder} names ${below}, which has no row")
    endif()
  endforeach()
endforeach()
while(waiting)
  set(progress FALSE)
  foreach(folder IN LISTS waiting)
    set(ready TRUE)
    foreach(below IN LISTS allowed_${folder})
      if(NOT below IN_LIST placed)
        set(ready FALSE)
      endif()
    endforeach()
    if(ready)
      list(APPEND placed "${folder}")
      list(REMOVE_ITEM waiting "${folder}")
      set(progress TRUE)
    endif()
  endforeach()
  if(NOT progress)
    message(FATAL_ERROR "The rows run in a circle among: ${waiting}")
  endif()
endwhile()

# The folder of a path relative to the tree: the longest row name that starts it; empty when
# there is none.
function(folder_of path out)
  set(best "")
  string(LENGTH "${best}" bestLength)
  foreach(folder IN LISTS folders)
    string(FIND "${path}" "${folder}/" at)
    string(LENGTH "${folder}" length)
    if(at EQUAL 0 AND length GREATER bestLength)
      set(best "${folder}")
      set(bestLength ${length})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# Every source of the tree, build folders and hidden ones left out.
set(files "")
file(GLOB tops RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(top IN LISTS tops)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${top}" OR top MATCHES "^(build|\\.)")
    continue()
  endif()
  file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${top}/*.h"
       "${SOURCE_DIR}/${top}/*.cpp" "${SOURCE_DIR}/${top}/*.c")
  list(APPEND files ${found})
endforeach()

# Public headers by the name they are included with.
foreach(file IN LISTS files)
  string(FIND "${file}" "/include/" at)
  if(at GREATER -1)
    math(EXPR at "${at} + 9")
    string(SUBSTRING "${file}" ${at} -1 name)
    list(APPEND "header_${name}" "${file}")
  endif()
endforeach()

set(failures 0)
foreach(file IN LISTS files)
  folder_of("${file}" from)
  if(from STREQUAL "")
    message(SEND_ERROR "${file}: its folder has no row in cmake/CheckLayering.cmake")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  set(mayInclude ${allowed_${from}})
  if(file MATCHES "/(tests|bench|fuzz)/")
    list(APPEND mayInclude platform/testing)
  endif()
  get_filename_component(dir "${file}" DIRECTORY)
  file(STRINGS "${SOURCE_DIR}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "[<\"]([^>\"]+)[>\"]" _ "${line}")
    set(name "${CMAKE_MATCH_1}")
    if(line MATCHES "\"" AND EXISTS "${SOURCE_DIR}/${dir}/${name}")
      get_filename_component(target "${SOURCE_DIR}/${dir}/${name}" ABSOLUTE)
      file(RELATIVE_PATH target "${SOURCE_DIR}" "${target}")
      set(targets "${target}")
    else()
      set(targets ${header_${name}})
    endif()
    foreach(target IN LISTS targets)
      folder_of("${target}" to)
      if(NOT to STREQUAL from AND NOT to IN_LIST mayInclude)
        message(SEND_ERROR "${file} (${from}) includes ${target} (${to}): not allowed")
        math(EXPR failures "${failures} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

list(LENGTH files count)
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include(s) cross the layering")
endif()
message(STATUS "Layering: ${count} files, every include within its row")
