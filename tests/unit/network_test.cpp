#include "Inbox.h"
#include "test_support.h"

#include <chrono>
#include <thread>

namespace {

const uint32_t loopback = 0x7f000001;

// Everything an inbox hands over in one drain.
std::vector<std::string> drainOnce(Inbox& inbox) {
    std::vector<std::string> all;
    inbox.drain(
        [&](std::string_view bytes, const PeerAddress&, double) { all.emplace_back(bytes); });
    return all;
}

// Drains until count datagrams have come, or a few seconds have passed.
std::vector<std::string> drainUntil(Inbox& inbox, size_t count) {
    std::vector<std::string> all;
    for (int i = 0; i < 400 && all.size() < count; ++i) {
        for (std::string& bytes : drainOnce(inbox)) {
            all.push_back(std::move(bytes));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return all;
}

// The client's endpoint and the server's, both on the loopback address.
class Network : public ::testing::Test {
  protected:
    Network() {
        EXPECT_EQ(server.bind(0, loopback), "");
        EXPECT_EQ(client.bind(0, loopback), "");
        serverAddress = server.localAddress().value_or(PeerAddress());
        clientAddress = client.localAddress().value_or(PeerAddress());
    }

    UdpEndpoint server;
    UdpEndpoint client;
    PeerAddress serverAddress;
    PeerAddress clientAddress;
};

TEST_F(Network, TheServersDatagramsArriveWholeAndInOrderAndStrangersAreNotQueued) {
    Inbox inbox(client, serverAddress);
    ASSERT_EQ(inbox.initLock(), 0);
    ASSERT_EQ(inbox.start(), 0);
    UdpEndpoint stranger;
    ASSERT_EQ(stranger.open(), "");
    EXPECT_EQ(stranger.send(clientAddress, "s4"), "");
    EXPECT_EQ(server.send(clientAddress, "s3"), "");
    EXPECT_EQ(server.send(clientAddress, std::string(600, 'q')), "");
    // A datagram longer than any the server sends is cut to the longest.
    EXPECT_EQ(drainUntil(inbox, 2), (std::vector<std::string>{"s3", std::string(512, 'q')}));
    EXPECT_EQ(inbox.strangers(), 1u);
    // The thread stops at once, however often, while datagrams keep coming.
    for (int round = 0; round < 50; ++round) {
        inbox.stop();
        ASSERT_EQ(inbox.start(), 0);
        server.send(clientAddress, std::string(1, char('a' + round % 26)));
    }
    inbox.stop();
    EXPECT_EQ(inbox.failure(), 0);
}

TEST_F(Network, TheQueueIsBoundedAndOneDrainTakesABoundedNumber) {
    Inbox inbox(client, serverAddress);
    ASSERT_EQ(inbox.initLock(), 0);
    for (size_t i = 0; i < Inbox::capacity + 10; ++i) {
        inbox.arrived(std::to_string(i), serverAddress, double(i));
    }
    EXPECT_EQ(inbox.dropped(), 10u);
    std::vector<std::string> first = drainOnce(inbox);
    ASSERT_EQ(first.size(), Inbox::maxPerFrame);
    EXPECT_EQ(first.front(), "0");
    EXPECT_EQ(first.back(), std::to_string(Inbox::maxPerFrame - 1));
    size_t rest = 0;
    for (std::vector<std::string> more; !(more = drainOnce(inbox)).empty();) {
        rest += more.size();
    }
    EXPECT_EQ(rest, Inbox::capacity - Inbox::maxPerFrame);
}

TEST_F(Network, FailuresAreReportedWithTheirReasonAndEndNothing) {
    UdpEndpoint taken;
    EXPECT_NE(taken.bind(serverAddress.port, loopback), "");
    EXPECT_FALSE(taken.isOpen());
    EXPECT_NE(taken.send(serverAddress, "x0"), "");
    EXPECT_EQ(resolveIPv4("127.0.0.1"), loopback);
    EXPECT_EQ(resolveIPv4("no-such-host.invalid"), std::nullopt);
    EXPECT_EQ(addressText(serverAddress).rfind("127.0.0.1:", 0), 0u);
}

} // namespace
