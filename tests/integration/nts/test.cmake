# chronyd serving NTS as nts.velmora.test, trusted through a test CA in a private mount namespace.
set(test_netns_flags --nts)
