target_link_libraries(bench_shown PRIVATE xcb)
