#ifndef CUBEFRAY_INBOX_H
#define CUBEFRAY_INBOX_H

#include "Datagram.h"
#include "Messages.h"
#include "UdpEndpoint.h"

#include <cstddef>
#include <pthread.h>
#include <string_view>
#include <vector>

// The client's receive thread and the queue it fills: the server's datagrams wait here, in the
// order they arrived, until the frame takes them. The queue is a ring made once, so neither a
// flood nor a long match makes it grow; a stranger's datagrams are counted and never queued, so
// they cannot crowd out the server's.
class Inbox {
  public:
    // Beyond this many waiting datagrams new ones are dropped.
    static constexpr size_t capacity = 4096;
    // One frame takes at most this many, so a flood cannot stall the frame loop.
    static constexpr size_t maxPerFrame = 256;

    Inbox(const UdpEndpoint& endpoint, const PeerAddress& server);
    ~Inbox();
    Inbox(const Inbox&) = delete;
    Inbox& operator=(const Inbox&) = delete;

    // pthread's codes, as the client reports them at start: the lock's, then the thread's.
    int initLock();
    int start();
    // Wakes the thread and waits for it to end; afterwards it touches nothing.
    void stop();

    // Hands up to maxPerFrame waiting datagrams to handle(bytes, sender, arrivedAt), oldest
    // first, without holding the lock while one is handled. Arrival times are
    // preciseMilliseconds() as the thread took the datagram off the socket.
    template <typename Handle> void drain(Handle handle);

    // The errno of the receive that ended the thread, or 0.
    int failure() const;
    size_t dropped() const;
    size_t strangers() const;

    // What the thread does with one datagram; public so that tests can queue without a socket.
    void arrived(std::string_view bytes, const PeerAddress& sender, double arrivedAt);

  private:
    struct Slot {
        char bytes[maxDatagramSize];
        size_t size;
        PeerAddress sender;
        double arrivedAt;
    };

    class Lock {
      public:
        explicit Lock(pthread_mutex_t& mutex) : mutex(mutex) { pthread_mutex_lock(&mutex); }
        ~Lock() { pthread_mutex_unlock(&mutex); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        pthread_mutex_t& mutex;
    };

    static void* receiveLoop(void* inbox);
    void receiveUntilStopped();
    bool takeOldest(Slot& into);

    const UdpEndpoint& endpoint;
    PeerAddress server;
    mutable pthread_mutex_t mutex;
    bool lockReady = false;
    pthread_t thread{};
    bool running = false;
    int wakePipe[2] = {-1, -1};
    std::vector<Slot> ring;
    size_t first = 0;
    size_t count = 0;
    size_t droppedCount = 0;
    size_t strangerCount = 0;
    int receiveError = 0;
};

template <typename Handle> void Inbox::drain(Handle handle) {
    Slot slot;
    for (size_t taken = 0; taken < maxPerFrame && takeOldest(slot); ++taken) {
        handle(std::string_view(slot.bytes, slot.size), slot.sender, slot.arrivedAt);
    }
}

#endif
