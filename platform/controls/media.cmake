# The playback engine of the media player control: GStreamer's playbin, and a fake for window
# tests.
add_library(platform_controls_media STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/GstMediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/GstMediaEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FakeMediaEngine.h
  ${CMAKE_CURRENT_LIST_DIR}/FakeMediaEngine.cpp)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
target_link_libraries(platform_controls_media PUBLIC Qt6::Widgets PRIVATE PkgConfig::GST PkgConfig::XCB)
