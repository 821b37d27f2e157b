#ifndef CUBEFRAY_NETWORKINFO_H
#define CUBEFRAY_NETWORKINFO_H

#include <netinet/in.h>
#include <sys/socket.h>

// The address of the peer: IPv4, port in network byte order.
struct Server {
    sockaddr_in addr;
    socklen_t addrLength = sizeof(sockaddr_in);

    Server();
    // The same IPv4 address and port.
    bool sameEndpoint(const Server& other) const;
};

// The client's one UDP socket. Failures end the process with status 0: the client cannot run
// without its socket.
struct SocketInfo {
    int socketFD = -1;
    socklen_t addrLength = sizeof(sockaddr_in);

    // The socket is not bound; the system picks the local port on the first send.
    void init(int port);
    int sendBytesTo(const Server* to, const void* bytes, int count) const;
    // With MSG_DONTWAIT in flags, an empty socket answers -1 instead of blocking.
    int receiveBytesFrom(Server* from, char* buffer, int capacity, int flags = 0) const;
    // Blocks until a datagram waits on the socket (true) or stopFD becomes readable (false).
    bool waitForDatagram(int stopFD) const;
};

#endif
