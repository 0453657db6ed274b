# Every source file is built or refused. Each folder's CMakeLists.txt names
# its sources (or globs a folder that holds only its own); after the whole
# tree is configured, korvane_check_build_lists looks at every .cpp file in
# the folders this configuration added and fails the configuration, naming
# the file, when no target builds it. A file can therefore never drop out of
# a build in silence. Files a folder builds only in another configuration
# (the Windows port's in a native build) are named with
# korvane_built_elsewhere; a folder not added at all (the tests with
# KORVANE_TESTS=OFF) is checked by the configurations that add it.

# Sources this folder builds only in another configuration (the web port's
# in a native build, say): named here, so they are not strays.
function(korvane_built_elsewhere)
  foreach(source IN LISTS ARGN)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE
      OUTPUT_VARIABLE path)
    set_property(GLOBAL APPEND PROPERTY KORVANE_BUILT_ELSEWHERE ${path})
  endforeach()
endfunction()

# The sources of every target defined in dir and below, as absolute paths.
function(korvane_built_sources dir out)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    get_target_property(target_dir ${target} SOURCE_DIR)
    if(NOT sources)
      continue()
    endif()
    foreach(source IN LISTS sources)
      if(source MATCHES "^\\$<") # generator expressions name other targets' objects
        continue()
      endif()
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${target_dir} NORMALIZE OUTPUT_VARIABLE path)
      list(APPEND found ${path})
    endforeach()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    korvane_built_sources(${sub} sub_found)
    list(APPEND found ${sub_found})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The folders added below dir (not dir itself), as their source folders.
function(korvane_added_dirs dir out)
  set(found)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    list(APPEND found ${sub})
    korvane_added_dirs(${sub} sub_found)
    list(APPEND found ${sub_found})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(korvane_check_build_lists)
  korvane_built_sources(${CMAKE_SOURCE_DIR} built)
  get_property(elsewhere GLOBAL PROPERTY KORVANE_BUILT_ELSEWHERE)
  list(APPEND built ${elsewhere})
  korvane_added_dirs(${CMAKE_SOURCE_DIR} dirs)
  set(stray)
  foreach(dir IN LISTS dirs)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${dir}/*.cpp)
    foreach(file IN LISTS files)
      # A file below another folder with a CMakeLists.txt is that folder's.
      cmake_path(GET file PARENT_PATH owner)
      while(NOT owner STREQUAL dir AND NOT EXISTS ${owner}/CMakeLists.txt)
        cmake_path(GET owner PARENT_PATH owner)
      endwhile()
      if(owner STREQUAL dir AND NOT file IN_LIST built)
        list(APPEND stray ${file})
      endif()
    endforeach()
  endforeach()
  if(stray)
    list(JOIN stray "\n  " stray_text)
    message(FATAL_ERROR "These source files are in no build list; name each in its "
      "folder's CMakeLists.txt (or remove it):\n  ${stray_text}")
  endif()
endfunction()
