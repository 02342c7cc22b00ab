# One line per test: every tests/core/*_test.cpp and tests/ui/*_test.cpp is its
# own executable, found by the glob in tests/CMakeLists.txt.

function(ambrel_add_gtest source)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ambrel_core ambrel_test_support GTest::gtest GTest::gtest_main)
    add_test(NAME core.${name} COMMAND ${name})
    add_dependencies(ambrel_core_tests ${name})
    if(AMBREL_SANITIZE)
        set_tests_properties(core.${name} PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1")
    endif()
endfunction()

function(ambrel_add_qtest source)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ambrel_ui ambrel_qt_test_support Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    add_test(NAME ui.${name} COMMAND ${name})
    set_tests_properties(ui.${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    add_dependencies(${name} ambrel_data)
endfunction()

# The moc step of an existing build directory watches only the files it knew when it last
# ran, so a header added later (found by a glob) would go without moc and fail to link.
# When the glob's result changes, the moc step's stamp is removed so that it runs again.
function(ambrel_rerun_moc_when_files_change target files)
    set(seen_variable AMBREL_MOC_FILES_SEEN_${target})
    if(NOT "${files}" STREQUAL "${${seen_variable}}")
        file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
        set(${seen_variable} "${files}" CACHE INTERNAL "Files the moc step of ${target} has seen")
    endif()
endfunction()
