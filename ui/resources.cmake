# Pictures stored with the windows, compiled into the program:
#   :/closeup/Image0.gif .. Image7.gif, ImageHeat.gif  the close-up's disc pictures
#   :/closeup/Logo.bmp                                 the 207 x 47 logo
# The asset generator draws them into the build tree (tools/assetgen).
if(TARGET corvair_database AND DEFINED CORVAIR_CLOSEUP_PICTURES AND DEFINED CORVAIR_LOGO)
  set_source_files_properties(${CORVAIR_CLOSEUP_PICTURES} ${CORVAIR_LOGO} PROPERTIES GENERATED TRUE)
  # The logo lives in its own folder; give it a plain name beside the pictures.
  set_source_files_properties(${CORVAIR_LOGO} PROPERTIES QT_RESOURCE_ALIAS Logo.bmp)
  qt_add_resources(corvair_ui "windowpictures"
    PREFIX "/closeup"
    BASE "${CORVAIR_GENERATED_DIR}/closeup"
    FILES ${CORVAIR_CLOSEUP_PICTURES} ${CORVAIR_LOGO})
  add_dependencies(corvair_ui corvair_database)
else()
  message(WARNING "The asset generator is not part of the build: the windows will show no stored pictures.")
endif()
