# The built-in filters, the compressors and the device category contents, on the FFmpeg libraries.
set(_filters ${CMAKE_CURRENT_LIST_DIR})
target_sources(dshow PRIVATE
  ${_filters}/asf_writer.cpp
  ${_filters}/audio_converter.cpp
  ${_filters}/avi_mux.cpp
  ${_filters}/builtin_filters.cpp
  ${_filters}/codec_format.cpp
  ${_filters}/colour_converter.cpp
  ${_filters}/compressor_catalog.cpp
  ${_filters}/compressor_filter.cpp
  ${_filters}/file_muxer.cpp
  ${_filters}/file_source.cpp
  ${_filters}/file_source_pin.cpp
  ${_filters}/file_writer.cpp
  ${_filters}/filter_util.cpp
  ${_filters}/hand_off_worker.cpp
  ${_filters}/media_reader.cpp
  ${_filters}/media_types.cpp
  ${_filters}/null_renderer.cpp
  ${_filters}/raw_image.cpp
  ${_filters}/sample_grabber.cpp
  ${_filters}/sink_filter.cpp
  ${_filters}/stream_decoder.cpp
  ${_filters}/stream_encoder.cpp
  ${_filters}/tee_filter.cpp
)
target_include_directories(dshow PUBLIC ${_filters}/include PRIVATE ${_filters})
target_link_libraries(dshow PRIVATE PkgConfig::FFMPEG)

set(_filter_tests ${CMAKE_CURRENT_LIST_DIR}/../../tests/filters)
corvane_add_test(dshow_filters_test LABEL dshow
  SOURCES
    ${_filter_tests}/clips.cpp
    ${_filter_tests}/file_writer_test.cpp
    ${_filter_tests}/format_test.cpp
    ${_filter_tests}/graph_road_test.cpp
    ${_filter_tests}/hand_off_worker_test.cpp
    ${_filter_tests}/raw_image_test.cpp
    ${_filter_tests}/source_test.cpp
    ${_filter_tests}/test_graph.cpp
    ${_filter_tests}/transform_test.cpp
    ${_filter_tests}/writer_test.cpp
  LIBS dshow corvane_media_fixtures corvane_media_probe corvane_guarded_buffer)
if(TARGET dshow_filters_test)
  # The format block tests reach the filters' own helpers.
  target_include_directories(dshow_filters_test PRIVATE ${_filters})
  target_link_libraries(dshow_filters_test PRIVATE PkgConfig::FFMPEG)
endif()
