# The playback engine of the media player control: GStreamer's playbin (the state machine in
# GstMediaEngine, its sinks and video output in GstOutput), and the wave sounds (GstSound).
add_library(platform_controls_media STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/GstMediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/GstMediaEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GstOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/GstOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GstSound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GstRef.h)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
target_link_libraries(platform_controls_media PUBLIC platform_base Qt6::Widgets
                                              PRIVATE PkgConfig::GST PkgConfig::XCB)

# The GStreamer module: the engine and the sounds as one shared module beside the player, loaded
# on first use (GstModule.h), so that the player maps no GStreamer library at its start. It
# exports its entry point only.
add_library(kesto_gst MODULE ${CMAKE_CURRENT_LIST_DIR}/GstModule.cpp)
target_link_libraries(kesto_gst PRIVATE platform_controls_media)
set_target_properties(kesto_gst PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/player
  CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_options(kesto_gst PRIVATE "LINKER:--exclude-libs,ALL" "LINKER:--no-undefined")

# What loads the module: the engine factory and the preparation of MediaEngine.h, and the
# module's table for the sounds.
add_library(platform_gst_module STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GstModule.h
  ${CMAKE_CURRENT_LIST_DIR}/GstModuleLoader.cpp)
target_link_libraries(platform_gst_module PUBLIC platform_base platform_files ${CMAKE_DL_LIBS})
