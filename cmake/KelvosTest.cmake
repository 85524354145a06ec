# kelvos_add_test(NAME <name> KIND unit|widget SOURCES <files...> LIBS <libs...>)
# One Qt Test executable per test class, registered with CTest under a label of its kind.
# Widget tests run on the offscreen platform, so they need no display.
function(kelvos_add_test)
    cmake_parse_arguments(T "" "NAME;KIND" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    # A screen as large as the end-to-end tests' display, so that the main window opens at
    # its designed size.
    set(env "QT_QPA_PLATFORM=offscreen:configfile=${PROJECT_SOURCE_DIR}/tests/support/offscreen.json"
        "LC_ALL=C.UTF-8")
    set_tests_properties(${T_NAME} PROPERTIES LABELS ${T_KIND} ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
