#pragma once

// Ends a connection without an answer, from inside a request handler.
//
// httplib gives a handler no access to its socket and always writes a response, so the
// connection is found by its two ports in the kernel's TCP table, its descriptor by the
// socket's inode, and it is shut down both ways: the client reads end-of-stream where the
// status line should be (a transport error, as when a server dies mid-request), and
// httplib's own write then fails quietly (its server ignores SIGPIPE) and it closes the
// descriptor it still owns.
//
// Only the names in /proc are read for the other descriptors, never the descriptors
// themselves: a test's client lives in the same process and may close its own socket at
// any moment. The one descriptor acted on belongs to the request the calling thread is
// serving, so it cannot be closed under us.

namespace ambrel::fakes {

// Shuts down the accepted socket whose local port is `localPort` and whose peer's port is
// `remotePort`. False when no such socket is open.
bool dropConnection(int localPort, int remotePort);

}  // namespace ambrel::fakes
