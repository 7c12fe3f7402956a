#pragma once

struct gnutls_session_int;

namespace velmora {

// Makes `socket` the session's transport, written with MSG_NOSIGNAL: a peer that hangs up is an
// error of the session, never a SIGPIPE that ends the program. GnuTLS must be loaded.
void SetQuietTransport(gnutls_session_int* session, int socket);

}  // namespace velmora
