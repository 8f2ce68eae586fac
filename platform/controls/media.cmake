# The playback engine of the media player control: GStreamer's playbin (the state machine in
# GstMediaEngine, its sinks and video output in GstOutput).
add_library(platform_controls_media STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/GstMediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/GstMediaEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GstOutput.h
  ${CMAKE_CURRENT_LIST_DIR}/GstOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GstRef.h)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
target_link_libraries(platform_controls_media PUBLIC platform_base Qt6::Widgets
                                              PRIVATE PkgConfig::GST PkgConfig::XCB)
