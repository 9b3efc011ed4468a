# The program's images, converted at build time from their text sources (res/images) into the
# 8-bit BMP and ICO files that res/orvo.rc names. Shared by the simulator's build (res/) and the
# Windows build (platform/win32/), so that both compile the same images.
#
# orvo_convert_images(CONVERTER <target or program> SOURCE_DIR <dir> OUTPUT_DIR <dir> OUT <var>)
# adds the conversion commands and sets <var> to the generated files.
function(orvo_convert_images)
  cmake_parse_arguments(ARG "" "CONVERTER;SOURCE_DIR;OUTPUT_DIR;OUT" "" ${ARGN})
  file(MAKE_DIRECTORY ${ARG_OUTPUT_DIR})
  set(generated)

  # Indicator pictures: each source gives the colour image and its mask.
  foreach(name IN ITEMS battery_16 battery_32 memory_16 memory_32 storage_16 storage_32 card_16 card_32)
    set(src ${ARG_SOURCE_DIR}/${name}.txt)
    add_custom_command(
      OUTPUT ${ARG_OUTPUT_DIR}/${name}.bmp ${ARG_OUTPUT_DIR}/${name}_mask.bmp
      COMMAND ${ARG_CONVERTER} colour ${src} ${ARG_OUTPUT_DIR}/${name}.bmp
      COMMAND ${ARG_CONVERTER} mask ${src} ${ARG_OUTPUT_DIR}/${name}_mask.bmp
      DEPENDS ${ARG_CONVERTER} ${src}
      COMMENT "Converting picture ${name}")
    list(APPEND generated ${ARG_OUTPUT_DIR}/${name}.bmp ${ARG_OUTPUT_DIR}/${name}_mask.bmp)
  endforeach()

  foreach(name IN ITEMS digits_16 digits_32)
    set(src ${ARG_SOURCE_DIR}/${name}.txt)
    add_custom_command(
      OUTPUT ${ARG_OUTPUT_DIR}/${name}.bmp
      COMMAND ${ARG_CONVERTER} colour ${src} ${ARG_OUTPUT_DIR}/${name}.bmp
      DEPENDS ${ARG_CONVERTER} ${src}
      COMMENT "Converting digit strip ${name}")
    list(APPEND generated ${ARG_OUTPUT_DIR}/${name}.bmp)
  endforeach()

  # Icons: one file with an image per source.
  set(icons charging_16:charging_16 charging_32:charging_32 battery_unknown_16:battery_unknown_16
            battery_unknown_32:battery_unknown_32 no_card_16:no_card_16 no_card_32:no_card_32
            program:program_32,program_16 tray_large:program_32 tray_small:program_16)
  foreach(icon IN LISTS icons)
    string(REPLACE ":" ";" parts ${icon})
    list(GET parts 0 output)
    list(GET parts 1 names)
    string(REPLACE "," ";" names ${names})
    set(srcs)
    foreach(name IN LISTS names)
      list(APPEND srcs ${ARG_SOURCE_DIR}/${name}.txt)
    endforeach()
    add_custom_command(
      OUTPUT ${ARG_OUTPUT_DIR}/${output}.ico
      COMMAND ${ARG_CONVERTER} icon ${ARG_OUTPUT_DIR}/${output}.ico ${srcs}
      DEPENDS ${ARG_CONVERTER} ${srcs}
      COMMENT "Converting icon ${output}")
    list(APPEND generated ${ARG_OUTPUT_DIR}/${output}.ico)
  endforeach()

  set(${ARG_OUT} ${generated} PARENT_SCOPE)
endfunction()
