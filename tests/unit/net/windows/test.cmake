# A program alone in its folder: no GnuTLS or Nettle beside it, as when the DLLs were not installed.
set(test_without_tls_libraries TRUE)
