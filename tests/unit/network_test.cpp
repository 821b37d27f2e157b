#include "Game.h"
#include "Timing.h"
#include "fake_server.h"
#include "test_helpers.h"

#include <chrono>
#include <thread>

namespace {

// SDL scancodes.
const int keyT = 23, keyW = 26, key1 = 30, keyReturn = 40, keyEscape = 41, keyBackspace = 42,
          keySpace = 44;

// Waits until the receive thread has queued count messages.
bool waitForQueued(Game& game, size_t count) {
    for (int i = 0; i < 200; ++i) {
        pthread_mutex_lock(&game.mutex);
        size_t queued = game.inMessages.size();
        pthread_mutex_unlock(&game.mutex);
        if (queued >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

TEST(Network, JoinCarriesAtMostElevenNameCharactersAndThePortGoesInNetworkOrder) {
    JoinMessage longName("abcdefghijklmnop");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&longName), sizeof(longName)),
              std::string("jabcdefghijk\0", 13));
    ConnectedGame c;
    EXPECT_EQ(c.joinBytes, std::string("jtester\0\0\0\0\0\0", 13));
    Game game;
    game.initNetworkStuff("localhost", 4000);
    const unsigned char* port = reinterpret_cast<const unsigned char*>(&game.server.addr.sin_port);
    EXPECT_EQ(port[0], 0x0F);
    EXPECT_EQ(port[1], 0xA0);
    EXPECT_EQ(game.server.addrLength, 16u);
    close(game.socketInfo.socketFD);
}

TEST(NetworkDeathTest, UnresolvableHostEndsWithStatusZero) {
    EXPECT_QUITS_SAYING(Game().initNetworkStuff("no-such-host.invalid", 4000),
                        "^error init network stuff\n$");
}

TEST(Network, KeyAndMouseMessagesCarryTheIdAndExactBytesAndPostponeTheKeepAlive) {
    ConnectedGame c;
    c.game.currentTime = 5000;
    c.game.keyDown(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '0', 3, 1}));
    EXPECT_EQ(c.game.lastSendTime, 5000);
    c.server.send("s2");
    c.game.startReceiveThread();
    ASSERT_TRUE(waitForQueued(c.game, 1));
    c.game.readMessages(0);
    c.game.keyUp(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '2', 3, 0}));
    c.game.keyDown(mouseButtonKey);
    c.game.keyUp(mouseButtonKey);
    EXPECT_EQ(c.server.receive(), bytes({'k', '2', 5, 1}));
    EXPECT_EQ(c.server.receive(), bytes({'k', '2', 5, 0}));
    // A, D, S and Space are game keys 0, 1, 2 and 4.
    std::string sent;
    for (int scancode : {4, 7, 22, keySpace}) {
        c.game.keyUp(scancode);
        sent += c.server.receive();
    }
    EXPECT_EQ(sent, bytes({'k', '2', 0, 0, 'k', '2', 1, 0, 'k', '2', 2, 0, 'k', '2', 4, 0}));
    c.game.currentTime = 5500;
    c.game.mouseMoved(-5, 3);
    EXPECT_EQ(c.server.receive(), bytes({'m', '2', 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0}));
    EXPECT_EQ(c.game.lastSendTime, 5500);
    // Keys the server does not know send nothing.
    c.game.keyDown(keyEscape);
    c.game.keyUp(key1);
    EXPECT_EQ(c.server.receive(100), "");
}

TEST(Network, ChatEditorSendsOnReturnAndSwallowsKeyDowns) {
    ConnectedGame c;
    c.game.clientPlayerID = '4';
    c.game.keyDown(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '4', 3, 1}));
    c.game.keyDown(keyT);
    EXPECT_TRUE(c.game.talking);
    EXPECT_EQ(c.game.chatTimer, 10);
    // Typing W sends no key-down, but W's release still goes out.
    c.game.keyDown(keyW);
    c.game.keyUp(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '4', 3, 0}));
    for (int key : {keyT, key1, keyEscape, mouseButtonKey}) {
        c.game.keyDown(key);
    }
    EXPECT_EQ(c.game.talkMessage, "WT");
    for (int i = 0; i < 31; ++i) {
        c.game.keyDown(4 + i % 26);
    }
    c.game.keyDown(keyBackspace);
    c.game.keyDown(keySpace);
    // Sending chat is no input: it leaves the keep-alive alone.
    c.game.currentTime = 6000;
    c.game.keyDown(keyReturn);
    EXPECT_FALSE(c.game.talking);
    EXPECT_EQ(c.game.talkMessage, "");
    EXPECT_EQ(c.game.lastSendTime, 0);
    // 29 characters: the 30th letter was refused, Backspace removed the 29th, the blank took it.
    EXPECT_EQ(c.server.receive(), std::string("t4WTABCDEFGHIJKLMNOPQRSTUVWXYZ \0", 32));
    EXPECT_EQ(c.server.receive(100), "");
}

TEST(Network, UpdateSendsAKeepAliveAfterASecondAndRunsTheChatTimerUnlessTyping) {
    ConnectedGame c;
    float now = float(getCurrentMillisecond());
    c.game.lastSendTime = now - 900;
    c.game.chatTimer = 5;
    c.game.update();
    EXPECT_EQ(c.server.receive(100), "");
    EXPECT_FLOAT_EQ(c.game.chatTimer, 4.95f);
    c.game.lastSendTime = now - 1100;
    c.game.update();
    EXPECT_EQ(c.server.receive(), "x0");
    EXPECT_GE(c.game.lastSendTime, now);
    c.game.update();
    EXPECT_EQ(c.server.receive(100), "");
    // The rest must not meet a keep-alive, however slowly it runs.
    c.game.lastSendTime = now + 1e6f;
    c.game.keyDown(keyT);
    c.game.keyDown(keyBackspace);
    c.game.chatTimer = 3;
    c.game.update();
    c.game.update();
    EXPECT_EQ(c.game.chatTimer, 3);
    EXPECT_TRUE(c.game.talking);
    // An empty line closes silently.
    c.game.keyDown(keyReturn);
    EXPECT_FALSE(c.game.talking);
    EXPECT_EQ(c.server.receive(100), "");
    c.game.update();
    EXPECT_FLOAT_EQ(c.game.chatTimer, 2.95f);
    // Return while playing only shows the chat again.
    c.game.keyDown(keyReturn);
    EXPECT_EQ(c.game.chatTimer, 10);
    EXPECT_FALSE(c.game.talking);
}

TEST(Network, ReceiveThreadQueuesZeroFilledDatagramsInOrderStopsCleanlyAndTheQueueIsBounded) {
    ConnectedGame c;
    c.game.startReceiveThread();
    c.server.send("s3");
    c.server.send(std::string(600, 'q'));
    c.server.send("t");
    ASSERT_TRUE(waitForQueued(c.game, 3));
    c.game.stopReceiveThread();
    const std::deque<GenericMessage>& queued = c.game.inMessages;
    EXPECT_EQ(std::string(queued[0].data, 512), std::string("s3") + std::string(510, '\0'));
    EXPECT_EQ(std::string(queued[1].data, 512), std::string(512, 'q'));
    c.game.readMessages(0);
    EXPECT_EQ(c.game.clientPlayerID, '3');
    EXPECT_EQ(c.game.chatLines, std::vector<std::string>{""});
    for (int round = 0; round < 50; ++round) {
        ASSERT_EQ(c.game.startReceiveThread(), 0);
        c.server.send(std::string("s") + char('4' + round % 4));
        if (round % 2 == 0) {
            waitForQueued(c.game, 1);
        }
        c.game.stopReceiveThread();
        c.game.readMessages(0);
    }
    EXPECT_NE(c.game.clientPlayerID, '3');
    // Beyond its bound the queue drops datagrams, and one drain handles a bounded number.
    for (size_t i = 0; i < Game::maxQueuedMessages + 10; ++i) {
        c.game.queueMessage(datagram("z"));
    }
    EXPECT_EQ(c.game.inMessages.size(), Game::maxQueuedMessages);
    EXPECT_EQ(c.game.droppedMessages, 10u);
    c.game.readMessages(0);
    EXPECT_EQ(c.game.inMessages.size(), Game::maxQueuedMessages - Game::maxMessagesPerDrain);
    // Cleanup sends exactly one leave.
    c.game.cleanup();
    EXPECT_EQ(c.server.receive(), std::string("d") + c.game.clientPlayerID);
    EXPECT_EQ(c.server.receive(100), "");
}

} // namespace
