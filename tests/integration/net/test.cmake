# A resolver of the test's own on loopback, for lookups that never end.
set(test_netns_flags --chronyd --private-etc)
