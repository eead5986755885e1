# Runs the asset generator into a scratch directory and checks that it
# reproduces every committed picture and sound byte for byte, so the files
# under data/ never drift from the code that draws them.
# Usage: cmake -DGENERATOR=<gen_assets> -DSOURCE_DIR=<repo> -DWORK_DIR=<dir> -P <this>

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the generator failed: ${rc}")
endif()

set(files
  img/anchor.png img/BACK1TileSet.png img/ball.png img/blueBall.png img/brightStar.png
  img/cube.png img/L1TileSet.png img/link.png img/reflectBall.png img/star.png
  snd/metal_drop_1.wav
  icons/dazozi-redov-48.png icons/dazozi-redov-128.png icons/dazozi-redov-256.png
  icons/dazozi-redov-512.png)
set(failed "")
foreach(f IN LISTS files)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                  "${WORK_DIR}/${f}" "${SOURCE_DIR}/data/${f}" RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    list(APPEND failed "${f}")
  endif()
endforeach()

file(GLOB generated RELATIVE "${WORK_DIR}" "${WORK_DIR}/img/*" "${WORK_DIR}/snd/*"
     "${WORK_DIR}/icons/*")
list(LENGTH generated count)
if(NOT count EQUAL 15)
  list(APPEND failed "(generated ${count} files, expected 15)")
endif()
if(failed)
  message(FATAL_ERROR "differs from the committed file: ${failed}")
endif()
message(STATUS "all 15 generated files match data/")
