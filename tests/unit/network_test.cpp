#include "Game.h"
#include "Timing.h"
#include "fake_server.h"
#include "test_helpers.h"

#include <chrono>
#include <thread>

namespace {

const int keyW = 26;
const int keyT = 23;
const int keyReturn = 40;
const int keyBackspace = 42;
const int keyEscape = 41;
const int key1 = 30;

std::string receivedBeforeWait(ConnectedGame& c) {
    return c.server.receive(100);
}

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

TEST(Network, JoinCarriesAtMostElevenNameCharacters) {
    JoinMessage longName("abcdefghijklmnop");
    std::string wire(reinterpret_cast<const char*>(&longName), sizeof(longName));
    EXPECT_EQ(wire, std::string("jabcdefghijk\0", 13));
    ConnectedGame c;
    EXPECT_EQ(c.joinBytes, std::string("jtester\0\0\0\0\0\0", 13));
}

TEST(Network, PortGoesIntoTheAddressInNetworkOrder) {
    Game game;
    game.initNetworkStuff("localhost", 4000);
    const unsigned char* port = reinterpret_cast<const unsigned char*>(&game.server.addr.sin_port);
    EXPECT_EQ(port[0], 0x0F);
    EXPECT_EQ(port[1], 0xA0);
    EXPECT_EQ(game.server.addrLength, 16u);
    close(game.socketInfo.socketFD);
}

TEST(NetworkDeathTest, UnresolvableHostEndsWithStatusZero) {
    EXPECT_EXIT(
        {
            sendStdoutToStderr();
            Game game;
            game.initNetworkStuff("no-such-host.invalid", 4000);
        },
        ::testing::ExitedWithCode(0), "^error init network stuff\n$");
}

TEST(Network, KeyAndMouseMessagesCarryTheIdAndExactBytes) {
    ConnectedGame c;
    c.game.keyDown(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '0', 3, 1}));
    c.server.send("s2");
    c.game.startReceiveThread();
    ASSERT_TRUE(waitForQueued(c.game, 1));
    c.game.readMessages(0);
    EXPECT_EQ(c.game.clientPlayerID, '2');
    c.game.keyUp(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '2', 3, 0}));
    c.game.keyDown(mouseButtonKey);
    c.game.keyUp(mouseButtonKey);
    EXPECT_EQ(c.server.receive(), bytes({'k', '2', 5, 1}));
    EXPECT_EQ(c.server.receive(), bytes({'k', '2', 5, 0}));
    c.game.mouseMoved(-5, 3);
    EXPECT_EQ(c.server.receive(), bytes({'m', '2', 0, 0, 0xFB, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0}));
    c.game.keyDown(keyEscape);
    c.game.keyUp(key1);
    EXPECT_EQ(receivedBeforeWait(c), "");
}

TEST(Network, InputMovesTheKeepAliveButChatDoesNot) {
    ConnectedGame c;
    c.game.currentTime = 5000;
    c.game.keyDown(keyW);
    c.server.receive();
    EXPECT_EQ(c.game.lastSendTime, 5000);
    c.game.currentTime = 6000;
    c.game.keyDown(keyT);
    c.game.keyDown(keyW);
    c.game.keyDown(keyReturn);
    c.server.receive();
    EXPECT_EQ(c.game.lastSendTime, 5000);
}

TEST(Network, KeepAliveOnlyAfterMoreThanASecondWithoutInput) {
    ConnectedGame c;
    float now = float(getCurrentMillisecond());
    c.game.lastSendTime = now - 900;
    c.game.update();
    EXPECT_EQ(receivedBeforeWait(c), "");
    c.game.lastSendTime = now - 1100;
    c.game.update();
    EXPECT_EQ(c.server.receive(), "x0");
    EXPECT_GE(c.game.lastSendTime, now);
    c.game.update();
    EXPECT_EQ(receivedBeforeWait(c), "");
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
    EXPECT_EQ(c.game.talkMessage, "W");
    c.game.keyDown(keyT);
    c.game.keyDown(key1);
    c.game.keyDown(keyEscape);
    c.game.keyDown(mouseButtonKey);
    EXPECT_EQ(c.game.talkMessage, "WT");
    for (int i = 0; i < 31; ++i) {
        c.game.keyDown(4 + i % 26);
    }
    EXPECT_EQ(c.game.talkMessage.size(), 29u);
    c.game.keyDown(keyBackspace);
    c.game.keyDown(44);
    c.game.keyDown(keyReturn);
    EXPECT_FALSE(c.game.talking);
    EXPECT_EQ(c.game.talkMessage, "");
    // 29 characters: the 30th letter was refused, Backspace removed the 29th, the blank took it.
    std::string expected = std::string("t4WTABCDEFGHIJKLMNOPQRSTUVWXYZ \0", 32);
    EXPECT_EQ(c.server.receive(), expected);
    EXPECT_EQ(receivedBeforeWait(c), "");
}

TEST(Network, EmptyChatLineClosesSilently) {
    ConnectedGame c;
    c.game.keyDown(keyT);
    c.game.keyDown(keyBackspace);
    EXPECT_TRUE(c.game.talking);
    c.game.keyDown(keyReturn);
    EXPECT_FALSE(c.game.talking);
    EXPECT_EQ(receivedBeforeWait(c), "");
    // Return while playing only shows the chat again.
    c.game.chatTimer = 0;
    c.game.keyDown(keyReturn);
    EXPECT_EQ(c.game.chatTimer, 10);
    EXPECT_FALSE(c.game.talking);
}

TEST(Network, ChatTimerFreezesWhileTyping) {
    ConnectedGame c;
    c.game.lastSendTime = float(getCurrentMillisecond()) + 1e6f;
    c.game.chatTimer = 5;
    c.game.update();
    EXPECT_FLOAT_EQ(c.game.chatTimer, 4.95f);
    c.game.keyDown(keyT);
    c.game.chatTimer = 3;
    c.game.update();
    c.game.update();
    EXPECT_EQ(c.game.chatTimer, 3);
    c.game.keyDown(keyReturn);
    c.game.update();
    EXPECT_FLOAT_EQ(c.game.chatTimer, 2.95f);
}

TEST(Network, ReceivedDatagramsAreQueuedZeroFilledInArrivalOrder) {
    ConnectedGame c;
    c.game.startReceiveThread();
    c.server.send("s3");
    c.server.send(std::string(600, 'q'));
    c.server.send("t");
    ASSERT_TRUE(waitForQueued(c.game, 3));
    pthread_mutex_lock(&c.game.mutex);
    std::deque<GenericMessage> queued = c.game.inMessages;
    pthread_mutex_unlock(&c.game.mutex);
    EXPECT_EQ(std::string(queued[0].data, 512), std::string("s3") + std::string(510, '\0'));
    EXPECT_EQ(std::string(queued[1].data, 512), std::string(512, 'q'));
    EXPECT_EQ(queued[2].data[0], 't');
    c.game.readMessages(0);
    EXPECT_EQ(c.game.clientPlayerID, '3');
    EXPECT_EQ(c.game.chatLines, std::vector<std::string>{""});
    c.game.keyDown(keyW);
    EXPECT_EQ(c.server.receive(), bytes({'k', '3', 3, 1}));
}

TEST(Network, TheQueueIsBoundedAndADrainIsBounded) {
    Game game;
    pthread_mutex_init(&game.mutex, nullptr);
    for (size_t i = 0; i < Game::maxQueuedMessages + 10; ++i) {
        game.queueMessage(datagram("z"));
    }
    EXPECT_EQ(game.inMessages.size(), Game::maxQueuedMessages);
    EXPECT_EQ(game.droppedMessages, 10u);
    game.readMessages(0);
    EXPECT_EQ(game.inMessages.size(), Game::maxQueuedMessages - Game::maxMessagesPerDrain);
    pthread_mutex_destroy(&game.mutex);
}

TEST(Network, CleanupSendsExactlyOneLeave) {
    ConnectedGame c;
    c.game.clientPlayerID = '1';
    c.game.startReceiveThread();
    c.game.stopReceiveThread();
    c.game.cleanup();
    EXPECT_EQ(c.server.receive(), "d1");
    EXPECT_EQ(receivedBeforeWait(c), "");
}

TEST(Network, ReceiveThreadStartsAndStopsCleanly) {
    ConnectedGame c;
    for (int round = 0; round < 50; ++round) {
        ASSERT_EQ(c.game.startReceiveThread(), 0);
        c.server.send("s" + std::string(1, char('1' + round % 4)));
        if (round % 2 == 0) {
            waitForQueued(c.game, 1);
        }
        c.game.stopReceiveThread();
        c.game.readMessages(0);
    }
    EXPECT_NE(c.game.clientPlayerID, '0');
}

} // namespace
