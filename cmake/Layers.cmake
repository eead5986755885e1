# The program's layers as static libraries, one per folder:
#
#   app -> control -> bodies -> world -> data -> media
#               \                    \-> physics
#                \-> scene -> data, physics    (the scene file format alone)
#
# media/ is itself in parts, one library per sub-folder, each linking only the parts it uses:
#
#   frame -> graphics -> window -> base
#        \-> input ----/
#        \-> audio ---------------/
#
# and the layers above see and link all of it (dazozi_media).
#
# dazozi_layer(<name> SOURCES <files...> BELOW <layers...> [LIBRARIES <targets...>])
# makes the library dazozi_<name> (alias Dazozi::<name>; a slash in the name becomes an
# underscore: media/base makes dazozi_media_base) from the folder <name>/, linked with every
# layer named in BELOW (all the layers it may use, not only the next one down).
#
# Each layer sees only its own headers and those of the layers below it: its include path is a
# folder of the build tree, layers/<name>/ (layers/media_base/ for media/base), holding links to
# those layers' folders and nothing else. An include that runs up a layer ("app/Game.hpp" from
# media/, "media/graphics/Draw.hpp" from media/base/) is then not found, and the compiler stops
# the build there.

# Warnings every target of ours is built with (linked PRIVATE, so that they stay ours).
add_library(dazozi_warnings INTERFACE)
target_compile_options(dazozi_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual
  -Wformat=2 -Wimplicit-fallthrough -Wmissing-declarations -Wundef
  -Wconversion -Wsign-conversion -Wold-style-cast -Wsuggest-override)
if(EMSCRIPTEN)
  # EM_ASM's JavaScript names its arguments $0, $1, ...
  target_compile_options(dazozi_warnings INTERFACE -Wno-dollar-in-identifier-extension)
endif()
if(DAZOZI_WERROR)
  target_compile_options(dazozi_warnings INTERFACE -Werror)
endif()

function(dazozi_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "SOURCES;BELOW;LIBRARIES")
  string(REPLACE "/" "_" id "${name}")
  set(target dazozi_${id})
  list(TRANSFORM LAYER_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/${name}/"
       REGEX "^[^/$]")
  add_library(${target} STATIC ${LAYER_SOURCES})
  add_library(Dazozi::${id} ALIAS ${target})

  set(view "${CMAKE_BINARY_DIR}/layers/${id}")
  file(REMOVE_RECURSE "${view}")
  foreach(visible ${name} ${LAYER_BELOW})
    # A part of a layer (media/base) is linked alone, inside a real folder of its layer's name.
    get_filename_component(parent "${view}/${visible}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${visible}" "${view}/${visible}" SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC "${view}")

  foreach(below ${LAYER_BELOW})
    string(REPLACE "/" "_" below "${below}")
    target_link_libraries(${target} PUBLIC dazozi_${below})
  endforeach()
  target_link_libraries(${target} PRIVATE dazozi_warnings ${LAYER_LIBRARIES})
endfunction()
