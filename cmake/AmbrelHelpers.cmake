# One line per test: every tests/core/*_test.cpp and tests/ui/*_test.cpp is its
# own executable, found by the glob in tests/CMakeLists.txt.

function(ambrel_add_gtest source)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ambrel_core ambrel_test_support GTest::gtest GTest::gtest_main)
    add_test(NAME core.${name} COMMAND ${name})
    if(AMBREL_SANITIZE)
        set_tests_properties(core.${name} PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1")
    endif()
endfunction()

function(ambrel_add_qtest source)
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ambrel_ui ambrel_test_support Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    add_test(NAME ui.${name} COMMAND ${name})
    set_tests_properties(ui.${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    add_dependencies(${name} ambrel_data)
endfunction()
