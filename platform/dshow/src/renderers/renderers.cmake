# The Video Renderer and the Audio Renderer (SDL2 audio).
set(_renderers ${CMAKE_CURRENT_LIST_DIR})
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
target_sources(dshow PRIVATE
  ${_renderers}/audio_clock.cpp
  ${_renderers}/audio_output.cpp
  ${_renderers}/audio_renderer.cpp
  ${_renderers}/registration.cpp
  ${_renderers}/video_renderer.cpp
  ${_renderers}/video_window.cpp
)
target_include_directories(dshow PRIVATE ${_renderers})
target_link_libraries(dshow PRIVATE PkgConfig::SDL2)

if(CORVANE_TESTS)
  set(_renderer_tests ${CMAKE_CURRENT_LIST_DIR}/../../tests/renderers)
  corvane_add_test(dshow_renderers_test LABEL dshow
    SOURCES
      ${_renderer_tests}/renderer_test.cpp
      ${_renderer_tests}/solid_clip.cpp
    LIBS dshow corvane_media_fixtures corvane_ui_driver PkgConfig::FFMPEG)
  target_include_directories(dshow_renderers_test PRIVATE ${_renderers})
endif()
