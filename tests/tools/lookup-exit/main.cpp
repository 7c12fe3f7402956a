// lookup-exit: a process that ends while a host lookup it gave up on is still running, for
// valgrind to watch. It plays the namespace's resolver itself (127.0.0.1:53, silent at first),
// asks for the time from a name that resolver does not answer, and exits; only then, after the
// exit handlers and the destructors of static objects have run, does the resolver answer, so
// that glibc's lookup thread writes its result while the process is ending. Valgrind reports a
// write into anything freed by then.
//
// Exits 0 when the query failed as it must. Run it only inside tests/fixtures/netns-run
// --private-etc.

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

#include "net/SNTPsend.h"
#include "net/io/HostLookup.h"

namespace {

int resolver = -1;

int SilentResolver() {
    const int handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(53);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (handle < 0 || ::bind(handle, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::perror("lookup-exit: cannot play the resolver on 127.0.0.1:53");
        return -1;
    }
    return handle;
}

// The C library runs the program's destructor functions after every exit handler and static
// destructor: answer each pending query with "no such name", then give glibc's thread the time
// to take the answers.
__attribute__((destructor)) void AnswerWhileExiting() {
    if (resolver < 0) {
        return;
    }
    char query[512];
    sockaddr_storage from{};
    socklen_t size = sizeof from;
    ssize_t read = 0;
    while ((read = ::recvfrom(resolver, query, sizeof query, MSG_DONTWAIT,
                              reinterpret_cast<sockaddr*>(&from), &size)) >= 4) {
        query[2] = static_cast<char>(query[2] | 0x80);
        query[3] = static_cast<char>(0x83);
        ::sendto(resolver, query, static_cast<std::size_t>(read), 0,
                 reinterpret_cast<sockaddr*>(&from), size);
        size = sizeof from;
    }
    ::sleep(2);
}

}  // namespace

int main() {
    resolver = SilentResolver();
    if (resolver < 0) {
        return 1;
    }
    velmora::TSNTPSend client;
    client.ServerHost = "silent.velmora.test";
    client.ReplyTimeout = 300;
    const bool answered = client.QueryServer();
    std::printf("query %s, %zu lookup(s) left running\n", answered ? "answered" : "failed",
                velmora::LookupsRunning());
    return answered ? 1 : 0;
}
