# C runtime locales for the tests.
#
# The locale tests run against real glibc locales, compiled here with
# `localedef` into ${XVKIT_LOCPATH} (no root rights needed); a test finds them
# when it runs with the environment variable LOCPATH set to that directory.
#
#   XVKIT_LOCPATH          directory holding the compiled locales
#   XVKIT_TEST_LOCALES     their names, as setlocale() takes them
#   xvkit_test_locales     custom target that builds all of them
#   xvkit_add_locale_test(<name> <sources>...)
#                          like xvkit_add_test, and every test case runs with
#                          LOCPATH=${XVKIT_LOCPATH} after the locales are built
#
# Other tests that need these locales add a dependency on xvkit_test_locales
# and set ENVIRONMENT LOCPATH=${XVKIT_LOCPATH} on their tests.

set(_xvkit_locales_hint
    "the \"locales\" package provides the locale sources and charmaps: apt-get install locales")

find_program(XVKIT_LOCALEDEF localedef)
if(NOT XVKIT_LOCALEDEF)
    message(FATAL_ERROR "localedef was not found; the locale tests need it. Install ${_xvkit_locales_hint}")
endif()

set(XVKIT_I18N_DIR /usr/share/i18n CACHE PATH "Directory with the glibc locale sources and charmaps")
if(NOT EXISTS ${XVKIT_I18N_DIR}/locales/en_US
   OR NOT (EXISTS ${XVKIT_I18N_DIR}/charmaps/UTF-8.gz OR EXISTS ${XVKIT_I18N_DIR}/charmaps/UTF-8))
    message(FATAL_ERROR
        "No glibc locale sources under ${XVKIT_I18N_DIR}; the locale tests need them. Install ${_xvkit_locales_hint}")
endif()

set(XVKIT_LOCPATH ${PROJECT_BINARY_DIR}/locales)

# Locales from the system's sources, chosen for what they exercise:
#   en_US  grouping 3;3, 12-hour times, month-day-year dates
#   de_DE  ',' as decimal point, day.month.year dates, no morning/afternoon marker
#   fr_FR  a multibyte blank (U+202F) as thousands separator
#   en_IN  grouping 3;2
#   ja_JP  month names with digits, multibyte names and layouts
#   sv_SE  year-first dates, a blank-filled day in the date-and-time layout
set(_xvkit_system_locales en_US de_DE fr_FR en_IN ja_JP sv_SE)

# Our own sources (see each file for what it sets):
#   xv_TEST  a multibyte decimal point, CHAR_MAX in the money grouping,
#            blank-filled month and day, money pattern rows 8 and 4
#   xv_EDGE  group sizes written as digits, a date-and-time layout longer
#            than 255 bytes, a packed date layout, money pattern rows 0 and 7
#   xv_ROWS  money pattern rows 2 and 3, a blank as thousands separator,
#            year-day-month dates
set(_xvkit_own_locales
    xv_TEST ${PROJECT_SOURCE_DIR}/tests/locale/snapshot_test_locale
    xv_EDGE ${PROJECT_SOURCE_DIR}/tests/locale/snapshot_edge_locale
    xv_ROWS ${PROJECT_SOURCE_DIR}/tests/locale/snapshot_rows_locale)

set(XVKIT_TEST_LOCALES)
set(_xvkit_locale_outputs)
# _xvkit_compile_locale(<name> <source> <depends>): localedef of <source> (a
# name among the system's sources, or a file) into ${XVKIT_LOCPATH}/<name>.UTF-8,
# redone when the file <depends> changes.
function(_xvkit_compile_locale name source depends)
    set(stamp ${XVKIT_LOCPATH}/${name}.UTF-8/LC_TIME)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${XVKIT_LOCPATH}
        COMMAND ${CMAKE_COMMAND} -E env I18NPATH=${XVKIT_I18N_DIR}
                ${XVKIT_LOCALEDEF} -i ${source} -f UTF-8 ${XVKIT_LOCPATH}/${name}.UTF-8
        DEPENDS ${depends}
        COMMENT "Compiling the test locale ${name}.UTF-8"
        VERBATIM)
    set(XVKIT_TEST_LOCALES ${XVKIT_TEST_LOCALES} ${name}.UTF-8 PARENT_SCOPE)
    set(_xvkit_locale_outputs ${_xvkit_locale_outputs} ${stamp} PARENT_SCOPE)
endfunction()
foreach(name IN LISTS _xvkit_system_locales)
    _xvkit_compile_locale(${name} ${name} ${XVKIT_I18N_DIR}/locales/${name})
endforeach()
# The categories a locale source must define. Our own sources write only the
# ones they are about; _xvkit_complete_locale copies the others from en_US.
set(_xvkit_locale_categories LC_IDENTIFICATION LC_CTYPE LC_COLLATE LC_NUMERIC LC_MONETARY
    LC_TIME LC_MESSAGES LC_PAPER LC_NAME LC_ADDRESS LC_TELEPHONE LC_MEASUREMENT)

# _xvkit_complete_locale(<source> <out-var>): writes the locale source file
# <source>, with every category it lacks copied from en_US, into the build tree
# and sets <out-var> to its path. Editing <source> reconfigures.
function(_xvkit_complete_locale source out)
    file(READ ${source} text)
    foreach(category IN LISTS _xvkit_locale_categories)
        if(NOT text MATCHES "(^|\n)${category}\n")
            string(APPEND text "\n${category}\ncopy \"en_US\"\nEND ${category}\n")
        endif()
    endforeach()
    get_filename_component(base ${source} NAME)
    set(completed ${PROJECT_BINARY_DIR}/locale-sources/${base})
    file(GENERATE OUTPUT ${completed} CONTENT "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    set(${out} ${completed} PARENT_SCOPE)
endfunction()

set(_own ${_xvkit_own_locales})
while(_own)
    list(POP_FRONT _own name source)
    _xvkit_complete_locale(${source} completed)
    _xvkit_compile_locale(${name} ${completed} ${completed})
endwhile()
add_custom_target(xvkit_test_locales ALL DEPENDS ${_xvkit_locale_outputs})

function(xvkit_add_locale_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE xvkit::xvkit GTest::gtest GTest::gtest_main
                                          xvkit_test_support xvkit_warnings)
    add_dependencies(${name} xvkit_test_locales)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "LOCPATH=${XVKIT_LOCPATH}")
endfunction()
