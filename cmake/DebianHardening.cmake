# Debian's hardening flags from dpkg-buildflags (all features): fortified functions,
# stack protector, format checks, full RELRO with immediate binding. The build type
# keeps its own optimisation and debug flags, and file paths stay as they are.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
    message(STATUS "dpkg-buildflags not found: building without Debian's hardening flags")
    return()
endif()

function(vantu_debian_flags kind out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${text}")
    list(FILTER flags EXCLUDE REGEX "^(-g|-O[0-9s]?|-ffile-prefix-map=.*)$")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

vantu_debian_flags(CPPFLAGS cpp_flags)
vantu_debian_flags(CXXFLAGS cxx_flags)
vantu_debian_flags(LDFLAGS ld_flags)
add_compile_options(${cpp_flags} ${cxx_flags})
add_link_options(${ld_flags})
