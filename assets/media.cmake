# The window's media: the background picture, the icon and the tune. Included by the
# assets folder's list. Copies them beside the program in the build tree and installs the
# tune with the program's data; the picture and the icon are also compiled into the
# program, and the icon is installed by the desktop integration.

set(TAMSO_MEDIA_FILES background.gif kitty.mid tamso-avi.png tamso-avi.ico)

set(tamso_media_outputs "")
foreach(file IN LISTS TAMSO_MEDIA_FILES)
  add_custom_command(
    OUTPUT ${TAMSO_RUNTIME_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAMSO_RUNTIME_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/${file} ${TAMSO_RUNTIME_DIR}/${file}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file}
    COMMENT "Copying ${file} beside the program"
    VERBATIM)
  list(APPEND tamso_media_outputs ${TAMSO_RUNTIME_DIR}/${file})
endforeach()
add_custom_target(tamso_media_assets ALL DEPENDS ${tamso_media_outputs})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/kitty.mid DESTINATION ${TAMSO_DATA_SUBDIR})
