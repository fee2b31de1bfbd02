# The skin image class (CSkinImage): DIB buffers, BMP and TGA codecs and
# transforms everywhere; GDI drawing in Windows builds only.
set(_img ${CMAKE_CURRENT_LIST_DIR})
add_library(quorbel_skin_image STATIC
  ${_img}/skin_image.cpp
  ${_img}/image_stream.cpp
  ${_img}/image_codec.cpp
  ${_img}/image_bmp.cpp
  ${_img}/image_tga.cpp
  ${_img}/image_transform.cpp)
get_filename_component(_img_root ${_img}/../.. ABSOLUTE)
target_include_directories(quorbel_skin_image PUBLIC ${_img_root})
if(QUORBEL_WINDOWS)
  target_sources(quorbel_skin_image PRIVATE ${_img}/image_draw_win32.cpp)
  target_link_libraries(quorbel_skin_image PUBLIC gdi32 user32)
endif()

quorbel_add_gtest(image_core_test
  SOURCES ${_img}/tests/image_core_test.cpp
  LIBS quorbel_skin_image)
quorbel_add_gtest(image_codec_test
  SOURCES ${_img}/tests/image_codec_test.cpp
  LIBS quorbel_skin_image)
quorbel_add_gtest(image_transform_test
  SOURCES ${_img}/tests/image_transform_test.cpp
  LIBS quorbel_skin_image)
quorbel_add_gtest(image_draw_test WINDOWS_ONLY GUI
  SOURCES ${_img}/tests/image_draw_test.cpp
  LIBS quorbel_skin_image quorbel_gui_test)
