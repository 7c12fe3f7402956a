# A resolver of the test's own on loopback, and names with IPv6 addresses; no chronyd, so that the
# tests' own responders may take port 123 on ::1.
set(test_netns_flags --private-etc)
