# One static library per folder of src/, and what every library of ours shares.

# The headers a library's sources see as "folder/name.h": a folder of the
# build holding a link to that source folder alone, so that naming a folder
# the library does not link fails to compile.
function(karaoke_include_root target folder)
  set(root ${CMAKE_BINARY_DIR}/include_roots/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# Headers of Qt and the standard library that nearly every source of a
# library includes, compiled once per library instead of once per source.
set(KARAOKE_CORE_PCH <QObject> <QString> <QStringList> <QList> <QHash> <QTimer>
  <array> <functional> <memory> <optional> <vector>)
set(KARAOKE_WIDGETS_PCH ${KARAOKE_CORE_PCH} <QWidget> <QDialog> <QLabel> <QPushButton> <QPainter> <QKeyEvent>)

function(karaoke_precompile target headers)
  if(KARAOKE_PCH)
    target_precompile_headers(${target} PRIVATE ${${headers}})
  endif()
endfunction()

# karaoke_layer(folder [QT_CORE] [PUBLIC libs...] [PRIVATE libs...]): the
# library karaoke_<folder> of every source in src/<folder>. QT_CORE: its
# sources see Qt Core alone, so only Core's headers are precompiled.
function(karaoke_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "QT_CORE" "" "PUBLIC;PRIVATE")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  add_library(karaoke_${folder} STATIC ${sources})
  karaoke_include_root(karaoke_${folder} ${folder})
  target_link_libraries(karaoke_${folder} PUBLIC karaoke_flags ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
  if(arg_QT_CORE)
    karaoke_precompile(karaoke_${folder} KARAOKE_CORE_PCH)
  else()
    karaoke_precompile(karaoke_${folder} KARAOKE_WIDGETS_PCH)
  endif()
endfunction()

# karaoke_tool_library(name source [PUBLIC libs...] [PRIVATE libs...]): a
# library of one command-line tool of src/tools, beside the jukebox.
function(karaoke_tool_library name source)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "PUBLIC;PRIVATE")
  add_library(${name} STATIC ${source})
  karaoke_include_root(${name} tools)
  target_link_libraries(${name} PUBLIC karaoke_flags ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
endfunction()
