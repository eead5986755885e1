# One recording, one body hash in every build (and settings.txt likewise, with the settings
# panel changing the physics as it runs, building.txt, with bodies drawn, moved, turned,
# duplicated and deleted in edit mode, zoom.txt, dropping bodies through a zoomed and dragged
# view, and escape.txt, ended by Escape): the native runner of this build (optimised, or
# under the sanitizers) and, when DAZOZI_WEB_BUILD names the web build's folder, its runner in
# node replay tests/replay/cross_build.txt to the committed tests/replay/cross_build.expected.
set(DAZOZI_WEB_BUILD "" CACHE PATH "Folder of the web build whose headless runner (tools/scenario.js) to replay in node (empty: none)")
set(dazozi_replay_dir ${CMAKE_CURRENT_LIST_DIR})
add_test(NAME replay.cross_build_native
  COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/cross_build.txt
          ${dazozi_replay_dir}/cross_build.expected $<TARGET_FILE:scenario>)
set_tests_properties(replay.cross_build_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
add_test(NAME replay.zoom_native
  COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/zoom.txt
          ${dazozi_replay_dir}/zoom.expected $<TARGET_FILE:scenario>)
set_tests_properties(replay.zoom_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
add_test(NAME replay.settings_native
  COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/settings.txt
          ${dazozi_replay_dir}/settings.expected $<TARGET_FILE:scenario>)
set_tests_properties(replay.settings_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
# A recording ended by Escape ends inside its last frame: every runner prints its state there.
add_test(NAME replay.escape_native
  COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/escape.txt
          ${dazozi_replay_dir}/escape.expected $<TARGET_FILE:scenario>)
set_tests_properties(replay.escape_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
add_test(NAME replay.building_native
  COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/building.txt
          ${dazozi_replay_dir}/building.expected $<TARGET_FILE:scenario>)
set_tests_properties(replay.building_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
# Each broad phase replays to its own hash: the tree from the start, and the index rebuilt
# while bodies move.
foreach(name broad_phase_tree broad_phase_switch)
  add_test(NAME replay.${name}_native
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/${name}.txt
            ${dazozi_replay_dir}/${name}.expected $<TARGET_FILE:scenario>)
  set_tests_properties(replay.${name}_native PROPERTIES TIMEOUT 300
    ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endforeach()
add_test(NAME replay.fifo_refused_native
  COMMAND bash ${dazozi_replay_dir}/refuses_fifo.sh ${CMAKE_CURRENT_BINARY_DIR}/fifo-native
          $<TARGET_FILE:scenario>)
set_tests_properties(replay.fifo_refused_native PROPERTIES TIMEOUT 300
  ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
if(DAZOZI_WEB_BUILD)
  find_program(DAZOZI_NODE node REQUIRED)
  add_test(NAME replay.escape_web
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/escape.txt
            ${dazozi_replay_dir}/escape.expected ${DAZOZI_NODE}
            ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.escape_web PROPERTIES TIMEOUT 300)
  add_test(NAME replay.fifo_refused_web
    COMMAND bash ${dazozi_replay_dir}/refuses_fifo.sh ${CMAKE_CURRENT_BINARY_DIR}/fifo-web
            ${DAZOZI_NODE} ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.fifo_refused_web PROPERTIES TIMEOUT 300)
  add_test(NAME replay.building_web
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/building.txt
            ${dazozi_replay_dir}/building.expected ${DAZOZI_NODE}
            ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.building_web PROPERTIES TIMEOUT 300)
  add_test(NAME replay.cross_build_web
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/cross_build.txt
            ${dazozi_replay_dir}/cross_build.expected ${DAZOZI_NODE}
            ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.cross_build_web PROPERTIES TIMEOUT 300)
  add_test(NAME replay.settings_web
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/settings.txt
            ${dazozi_replay_dir}/settings.expected ${DAZOZI_NODE}
            ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.settings_web PROPERTIES TIMEOUT 300)
  add_test(NAME replay.zoom_web
    COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/zoom.txt
            ${dazozi_replay_dir}/zoom.expected ${DAZOZI_NODE}
            ${DAZOZI_WEB_BUILD}/tools/scenario.js)
  set_tests_properties(replay.zoom_web PROPERTIES TIMEOUT 300)
  foreach(name broad_phase_tree broad_phase_switch)
    add_test(NAME replay.${name}_web
      COMMAND bash ${dazozi_replay_dir}/same_hash.sh ${dazozi_replay_dir}/${name}.txt
              ${dazozi_replay_dir}/${name}.expected ${DAZOZI_NODE}
              ${DAZOZI_WEB_BUILD}/tools/scenario.js)
    set_tests_properties(replay.${name}_web PROPERTIES TIMEOUT 300)
  endforeach()
endif()
