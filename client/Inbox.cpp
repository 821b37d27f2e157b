#include "Inbox.h"

#include "Timing.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

Inbox::Inbox(const UdpEndpoint& endpoint, const PeerAddress& server)
    : endpoint(endpoint), server(server), ring(capacity) {}

Inbox::~Inbox() {
    stop();
    if (lockReady) {
        pthread_mutex_destroy(&mutex);
    }
}

int Inbox::initLock() {
    int code = pthread_mutex_init(&mutex, nullptr);
    lockReady = code == 0;
    return code;
}

int Inbox::start() {
    if (pipe2(wakePipe, O_CLOEXEC) != 0) {
        return errno;
    }
    int code = pthread_create(&thread, nullptr, receiveLoop, this);
    running = code == 0;
    return code;
}

void Inbox::stop() {
    if (running) {
        const char wake = 1;
        while (write(wakePipe[1], &wake, 1) < 0 && errno == EINTR) {
        }
        pthread_join(thread, nullptr);
        running = false;
    }
    for (int& end : wakePipe) {
        if (end >= 0) {
            close(end);
            end = -1;
        }
    }
}

void* Inbox::receiveLoop(void* inbox) {
    static_cast<Inbox*>(inbox)->receiveUntilStopped();
    return nullptr;
}

void Inbox::receiveUntilStopped() {
    char buffer[maxDatagramSize];
    while (endpoint.waitForDatagramOrWake(wakePipe[0])) {
        UdpEndpoint::Received received = endpoint.receive(buffer, sizeof(buffer));
        if (received.outcome == UdpEndpoint::Received::Outcome::failed) {
            Lock lock(mutex);
            receiveError = received.error;
            return;
        }
        if (received.outcome == UdpEndpoint::Received::Outcome::datagram) {
            arrived(std::string_view(buffer, received.size), received.sender,
                    preciseMilliseconds());
        }
    }
}

// Any host can send to our port; only the server's datagrams are worth a place in the queue.
void Inbox::arrived(std::string_view bytes, const PeerAddress& sender, double arrivedAt) {
    Lock lock(mutex);
    if (sender != server) {
        ++strangerCount;
        return;
    }
    if (count == capacity) {
        ++droppedCount;
        return;
    }
    Slot& slot = ring[(first + count) % capacity];
    slot.size = std::min(bytes.size(), sizeof(slot.bytes));
    std::memcpy(slot.bytes, bytes.data(), slot.size);
    slot.sender = sender;
    slot.arrivedAt = arrivedAt;
    ++count;
}

bool Inbox::takeOldest(Slot& into) {
    Lock lock(mutex);
    if (count == 0) {
        return false;
    }
    const Slot& oldest = ring[first];
    std::memcpy(into.bytes, oldest.bytes, oldest.size);
    into.size = oldest.size;
    into.sender = oldest.sender;
    into.arrivedAt = oldest.arrivedAt;
    first = (first + 1) % capacity;
    --count;
    return true;
}

int Inbox::failure() const {
    Lock lock(mutex);
    return receiveError;
}

size_t Inbox::dropped() const {
    Lock lock(mutex);
    return droppedCount;
}

size_t Inbox::strangers() const {
    Lock lock(mutex);
    return strangerCount;
}
