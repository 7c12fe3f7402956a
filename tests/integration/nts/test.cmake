# chronyd serving NTS as nts.velmora.test, trusted through a test CA in a private mount namespace;
# the tests run as an ordinary user.
set(test_netns_flags --nts --unprivileged)
