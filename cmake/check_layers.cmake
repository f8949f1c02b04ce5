# Fails the build when a source file includes a header of a layer above its
# own. Layers, lowest first; a folder may include its own layer and those
# below it. Run as: cmake -DSOURCE_DIR=<src> -P check_layers.cmake
set(layers platform stores engine pipeline app ui win32app)

set(violations "")
foreach(rank RANGE 0 6)
  list(GET layers ${rank} layer)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^#include \"[a-z0-9_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([a-z0-9_]+)/.*" "\\1" target "${line}")
      list(FIND layers "${target}" targetRank)
      if(targetRank GREATER rank)
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
        list(APPEND violations "${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Includes that run up the layers:\n  ${text}")
endif()
