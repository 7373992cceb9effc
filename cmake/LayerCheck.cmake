# The data layers must never pull in widgets.
foreach(lib quillon_store quillon_exchange)
  if(TARGET ${lib})
    get_target_property(deps ${lib} LINK_LIBRARIES)
    foreach(dep IN LISTS deps)
      if(dep MATCHES "Widgets|quillon_ui|quillon_toolkit")
        message(FATAL_ERROR "${lib} must not depend on ${dep}")
      endif()
    endforeach()
  endif()
endforeach()

# Features reach the application only through the toolkit's services, never its headers.
foreach(feature movies groups reference exchange reports feedback)
  file(GLOB_RECURSE feature_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${feature}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${feature}/*.h)
  foreach(file IN LISTS feature_files)
    file(STRINGS ${file} app_includes REGEX "#include \"app/")
    if(app_includes)
      message(FATAL_ERROR "${file} includes src/app: ${app_includes}")
    endif()
  endforeach()
endforeach()
