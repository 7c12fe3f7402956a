find_package(Qt6 REQUIRED COMPONENTS Widgets)
target_link_libraries(bench_startup PRIVATE Qt6::Widgets)
target_link_libraries(bench_startup PRIVATE ${CMAKE_DL_LIBS})
