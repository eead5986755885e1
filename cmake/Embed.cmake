# Compiles the pictures, the sound and the example scenes into the program.
#
# Included by the top-level CMakeLists: sets DAZOZI_EMBEDDED_SOURCES to one
# generated .cpp per file of data/img, data/snd and data/scenes, each defining
#   extern const unsigned char embedded_<name>[];       (the file's bytes)
#   extern const std::size_t embedded_<name>_size;
# where <name> is the file name made a C identifier (ball.png -> ball_png).
# The sources are regenerated at build time whenever their file changes.
#
# Run with -P (INPUT, OUTPUT, SYMBOL set) it writes one such source.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Sixteen bytes per line keeps the generated file easy on editors and diffs.
  string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line)
  string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
  file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${INPUT}; do not edit.\n"
    "#include <cstddef>\n\n"
    "extern const unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n"
    "extern const std::size_t ${SYMBOL}_size = ${size};\n")
  file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
  return()
endif()

file(GLOB DAZOZI_EMBED_INPUTS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/data/img/*.png
  ${CMAKE_SOURCE_DIR}/data/snd/*.wav
  ${CMAKE_SOURCE_DIR}/data/scenes/*.json)
list(SORT DAZOZI_EMBED_INPUTS)

set(DAZOZI_EMBEDDED_SOURCES)
foreach(input IN LISTS DAZOZI_EMBED_INPUTS)
  get_filename_component(name "${input}" NAME)
  string(MAKE_C_IDENTIFIER "${name}" id)
  set(output "${CMAKE_BINARY_DIR}/embedded/${id}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=embedded_${id}
            -P ${CMAKE_CURRENT_LIST_FILE}
    DEPENDS "${input}" "${CMAKE_CURRENT_LIST_FILE}"
    COMMENT "Embedding ${name}"
    VERBATIM)
  list(APPEND DAZOZI_EMBEDDED_SOURCES "${output}")
endforeach()
