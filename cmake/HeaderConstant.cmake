# quenlark_header_constant(<header> <name> <variable>): sets <variable> to the value of the
# constant <name> of a C++ header, a whole number or a string literal (without its quotes), so
# that files the build writes for other tools (resource scripts) take their values from the
# one place the program does. A change to the header configures the build again.
function(quenlark_header_constant header name variable)
    file(STRINGS ${header} lines REGEX "[ *]${name} = ")
    if(NOT lines MATCHES "${name} = (\"([^\"]*)\"|([0-9]+))")
        message(FATAL_ERROR "${header} has no constant ${name} with a number or a string")
    endif()
    set(${variable} "${CMAKE_MATCH_2}${CMAKE_MATCH_3}" PARENT_SCOPE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
endfunction()
