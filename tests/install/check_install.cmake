# cmake -DBUILD_DIR=... -DEXPECTED_WM_CLASS=... -P check_install.cmake
execute_process(COMMAND mktemp -d OUTPUT_VARIABLE prefix OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

function(fail message)
  file(REMOVE_RECURSE ${prefix})
  message(FATAL_ERROR ${message})
endfunction()

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  fail("cmake --install failed: ${error}")
endif()

if(NOT EXISTS ${prefix}/bin/zarnel OR IS_DIRECTORY ${prefix}/bin/zarnel)
  fail("bin/zarnel was not installed")
endif()
execute_process(COMMAND test -x ${prefix}/bin/zarnel RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("bin/zarnel is not executable")
endif()

set(entry ${prefix}/share/applications/zarnel.desktop)
if(NOT EXISTS ${entry})
  fail("no desktop entry at share/applications/zarnel.desktop")
endif()
find_program(validate desktop-file-validate)
if(NOT validate)
  fail("desktop-file-validate is missing (Debian package desktop-file-utils)")
endif()
execute_process(COMMAND ${validate} ${entry} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0 OR out MATCHES "error:")
  fail("desktop-file-validate rejects the entry:\n${out}")
endif()

# The entry must lead to what was installed: the program, its icon and its windows.
file(STRINGS ${entry} lines)
foreach(wanted "Exec=\"${prefix}/bin/zarnel\"" "Icon=zarnel" "StartupWMClass=${EXPECTED_WM_CLASS}"
               "GenericName=Area Measurement" "Categories=Education;Science;Graphics;")
  list(FIND lines "${wanted}" at)
  if(at EQUAL -1)
    fail("the desktop entry lacks ${wanted}")
  endif()
endforeach()

# Each icon is a PNG of the size its folder names (width and height from the IHDR chunk).
foreach(size 16 32 48 64 128 256)
  set(icon ${prefix}/share/icons/hicolor/${size}x${size}/apps/zarnel.png)
  if(NOT EXISTS ${icon})
    fail("no ${size}x${size} icon")
  endif()
  file(READ ${icon} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 16 dimensions)
  math(EXPR hex_size "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" hex_size "${hex_size}")
  string(LENGTH "${hex_size}" digits)
  math(EXPR pad "8 - ${digits}")
  string(REPEAT "0" ${pad} zeros)
  set(expected "${zeros}${hex_size}${zeros}${hex_size}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT dimensions STREQUAL expected)
    fail("icon ${size}x${size} is not a PNG of that size (header ${header})")
  endif()
endforeach()

file(REMOVE_RECURSE ${prefix})
