#include "Game.h"
#include "Timing.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// SDL scancodes.
const int keyT = 23, keyW = 26, key1 = 30, keyReturn = 40;

// A game whose server is the test's own UDP socket on the loopback address. The join has gone
// out, so the socket knows where the game listens, and the queue's mutex is ready. What the game
// sends on its own is checked here; the bytes of real input are left to the end-to-end tests.
class Connected : public ::testing::Test {
  protected:
    Connected() {
        pthread_mutex_init(&game.mutex, nullptr);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        bind(server, reinterpret_cast<sockaddr*>(&address), length);
        getsockname(server, reinterpret_cast<sockaddr*>(&address), &length);
        game.initNetworkStuff("127.0.0.1", ntohs(address.sin_port));
        JoinMessage join("tester");
        game.socketInfo.sendBytesTo(&game.server, &join, sizeof(join));
        received();
    }
    ~Connected() override {
        game.stopReceiveThread();
        pthread_mutex_destroy(&game.mutex);
        close(server);
    }

    // The next datagram from the game, or "" when none comes within the wait.
    std::string received(int waitMillis = 1000) {
        pollfd watched{server, POLLIN, 0};
        char buffer[2048];
        socklen_t length = sizeof(client);
        ssize_t n = poll(&watched, 1, waitMillis) <= 0
                        ? 0
                        : recvfrom(server, buffer, sizeof(buffer), 0,
                                   reinterpret_cast<sockaddr*>(&client), &length);
        return std::string(buffer, size_t(std::max<ssize_t>(n, 0)));
    }
    void send(const std::string& bytes) {
        sendto(server, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&client),
               sizeof(client));
    }
    // Waits until the receive thread has queued count messages.
    bool queued(size_t count) {
        for (int i = 0; i < 200; ++i) {
            pthread_mutex_lock(&game.mutex);
            size_t size = game.inMessages.size();
            pthread_mutex_unlock(&game.mutex);
            if (size >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    int server = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in client{};
    Game game;
};

TEST_F(Connected, KeepAliveFollowsASecondWithoutInputAndTheChatTimerRunsUnlessTyping) {
    const float now = float(getCurrentMillisecond());
    // One keep-alive from the three updates: none 900 ms after the last send, one after 1100 and
    // none right after that.
    game.lastSendTime = now - 900;
    game.chatTimer = 5;
    game.update();
    EXPECT_FLOAT_EQ(game.chatTimer, 4.95f);
    game.lastSendTime = now - 1100;
    game.update();
    game.update();
    EXPECT_EQ(received(), "x0");
    EXPECT_EQ(received(100), "");
    // Keys and mouse motion count as sent; chat does not.
    game.currentTime = 5000;
    game.keyDown(keyW);
    EXPECT_EQ(game.lastSendTime, 5000);
    game.currentTime = 5500;
    game.mouseMoved(1, 1);
    game.currentTime = 6000;
    for (int key : {keyT, keyW, keyReturn}) {
        game.keyDown(key);
    }
    EXPECT_EQ(game.lastSendTime, 5500);
    EXPECT_EQ(received()[0], 'k');
    EXPECT_EQ(received()[0], 'm');
    EXPECT_EQ(received().substr(0, 3), "t0W");
    // The rest must not meet a keep-alive, however slowly it runs.
    game.currentTime = game.lastSendTime = now + 1e6f;
    // While typing only letters and the blank type, and the chat timer stands.
    for (int key : {keyT, key1, mouseButtonKey}) {
        game.keyDown(key);
    }
    EXPECT_EQ(game.talkMessage, "");
    game.update();
    EXPECT_EQ(game.chatTimer, 10);
    EXPECT_EQ(received(), std::string("k0\3\1", 4)); // W's press again
    // An empty line closes silently; Return while playing only shows the chat again.
    game.keyDown(keyReturn);
    EXPECT_FALSE(game.talking);
    EXPECT_EQ(received(100), "");
    game.chatTimer = 3;
    game.keyDown(keyReturn);
    EXPECT_EQ(game.chatTimer, 10);
    EXPECT_FALSE(game.talking);
}

// A lost release would leave the key held on the server: each change goes out again in the
// next frames, with the id the game knows by then, and a later change replaces it.
TEST_F(Connected, EachKeyChangeIsRepeatedInTheNextFramesUntilTheNextChange) {
    game.currentTime = float(getCurrentMillisecond());
    game.keyDown(keyW);
    game.update();
    game.setClientPlayerID('2');
    game.keyUp(keyW);
    for (const char* sent : {"k0\3\1", "k0\3\1", "k2\3\0"}) {
        EXPECT_EQ(received(), std::string(sent, 4));
    }
    for (int frame = 0; frame < Game::keyRepeatFrames; ++frame) {
        game.update();
        EXPECT_EQ(received(), std::string("k2\3\0", 4));
    }
    game.update();
    EXPECT_EQ(received(100), "");
}

TEST_F(Connected, ReceiveThreadQueuesZeroFilledDatagramsInOrderStopsCleanlyAndTheQueueIsBounded) {
    game.startReceiveThread();
    // Only the server's address and port are heard; anyone may send to the client's port.
    int stranger = socket(AF_INET, SOCK_DGRAM, 0);
    sendto(stranger, "s4", 2, 0, reinterpret_cast<sockaddr*>(&client), sizeof(client));
    send("s3");
    send(std::string(600, 'q'));
    ASSERT_TRUE(queued(2));
    close(stranger);
    EXPECT_EQ(game.strangerMessages, 1u);
    game.stopReceiveThread();
    EXPECT_EQ(std::string(game.inMessages[0].data, 512), "s3" + std::string(510, '\0'));
    EXPECT_EQ(std::string(game.inMessages[1].data, 512), std::string(512, 'q'));
    game.readMessages(0);
    EXPECT_EQ(game.clientPlayerID, '3');
    for (int round = 0; round < 50; ++round) {
        ASSERT_EQ(game.startReceiveThread(), 0);
        send(std::string("s") + char('4' + round % 4));
        if (round % 2 == 0) {
            queued(1);
        }
        game.stopReceiveThread();
        game.readMessages(0);
    }
    EXPECT_NE(game.clientPlayerID, '3');
    // Beyond its bound the queue drops datagrams, and one drain handles a bounded number.
    for (size_t i = 0; i < Game::maxQueuedMessages + 10; ++i) {
        game.queueMessage(GenericMessage());
    }
    EXPECT_EQ(game.inMessages.size(), Game::maxQueuedMessages);
    EXPECT_EQ(game.droppedMessages, 10u);
    game.readMessages(0);
    EXPECT_EQ(game.inMessages.size(), Game::maxQueuedMessages - Game::maxMessagesPerDrain);
}

} // namespace
