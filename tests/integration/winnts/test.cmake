# The test reads the test certificates as Windows does (CryptStringToBinaryA).
target_link_libraries(${test_target} PRIVATE crypt32)
