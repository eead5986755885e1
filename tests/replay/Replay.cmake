# One recording, one body hash in every build: the native runner of this build (optimised, or
# under the sanitizers) and, when DAZOZI_WEB_BUILD names the web build's folder, its runner in
# node replay each NAME.txt below to the committed NAME.expected. A new recording is one word in
# the list.
#   cross_build         the level played: spawning, steering, grabbing
#   settings            the settings panel changing the physics as it runs
#   building            bodies drawn, moved, turned, duplicated and deleted in edit mode
#   zoom                bodies dropped through a zoomed and dragged view
#   escape              ended by Escape: every runner prints its state inside the last frame
#   broad_phase_tree    the library's tree from the start
#   broad_phase_switch  the index rebuilt while bodies move
#   joints              a machine joined with the joint tools, joints changed, deleted, undone
#   last_minute         the last minute of a longer play, as a link carries it: the scene where it
#                       starts dropped before its first frame, then the input since
set(DAZOZI_WEB_BUILD "" CACHE PATH "Folder of the web build whose headless runner (tools/scenario.js) to replay in node (empty: none)")
set(dazozi_replay_dir ${CMAKE_CURRENT_LIST_DIR})
set(dazozi_replays cross_build settings building zoom escape broad_phase_tree broad_phase_switch
  joints last_minute)
if(DAZOZI_WEB_BUILD)
  find_program(DAZOZI_NODE node REQUIRED)
endif()

# Adds replay.NAME_native, and replay.NAME_web when there is a web build.
function(dazozi_add_replay name)
  add_test(NAME replay.${name}_native
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/${name}.txt
            ${dazozi_replay_dir}/${name}.expected $<TARGET_FILE:scenario>)
  set_tests_properties(replay.${name}_native PROPERTIES TIMEOUT 300
    ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
  if(DAZOZI_WEB_BUILD)
    add_test(NAME replay.${name}_web
      COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/${name}.txt
              ${dazozi_replay_dir}/${name}.expected ${DAZOZI_NODE}
              ${DAZOZI_WEB_BUILD}/tools/scenario.js)
    set_tests_properties(replay.${name}_web PROPERTIES TIMEOUT 300)
  endif()
endfunction()
foreach(name IN LISTS dazozi_replays)
  dazozi_add_replay(${name})
endforeach()

# A named pipe is refused as a recording rather than read forever.
add_test(NAME replay.fifo_refused_native
  COMMAND bash ${dazozi_replay_dir}/refuses_fifo.sh ${CMAKE_CURRENT_BINARY_DIR}/fifo-native
          $<TARGET_FILE:scenario>)
set_tests_properties(replay.fifo_refused_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
if(DAZOZI_WEB_BUILD)
  add_test(NAME replay.fifo_refused_web
    COMMAND bash ${dazozi_replay_dir}/refuses_fifo.sh ${CMAKE_CURRENT_BINARY_DIR}/fifo-web
            ${DAZOZI_NODE} ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.fifo_refused_web PROPERTIES TIMEOUT 300)
endif()

# Clicks on edit mode's palette replay alike in windows of other sizes.
add_test(NAME replay.palette_sizes_native
  COMMAND bash ${dazozi_replay_dir}/palette_sizes.sh ${dazozi_replay_dir}/palette_sizes.txt
          ${CMAKE_CURRENT_BINARY_DIR}/palette-sizes-native $<TARGET_FILE:scenario>)
set_tests_properties(replay.palette_sizes_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
if(DAZOZI_WEB_BUILD)
  add_test(NAME replay.palette_sizes_web
    COMMAND bash ${dazozi_replay_dir}/palette_sizes.sh ${dazozi_replay_dir}/palette_sizes.txt
            ${CMAKE_CURRENT_BINARY_DIR}/palette-sizes-web ${DAZOZI_NODE}
            ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.palette_sizes_web PROPERTIES TIMEOUT 300)
endif()
