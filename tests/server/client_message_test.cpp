#include "ClientMessage.h"
#include "server_test_support.h"

#include <climits>

namespace {

TEST(ClientMessage, JoinNameIsBoundedPrintableAndNeverEmpty) {
    std::optional<ClientMessage> join = parseClientMessage(joinBytes("alice"));
    ASSERT_TRUE(join);
    EXPECT_EQ(join->type, MessageType::join);
    EXPECT_EQ(join->text, "alice");

    // Twelve letters fill the field with no terminator; nothing past it is read.
    std::string full = "j" + std::string("abcdefghijkl");
    EXPECT_EQ(parseClientMessage(full)->text, "abcdefghijkl");
    std::string unprintable = "j" + std::string("a\nb\x01\xff") + std::string(7, '\0');
    EXPECT_EQ(parseClientMessage(unprintable)->text, "a?b??");
    EXPECT_EQ(parseClientMessage("j" + std::string(12, '\0'))->text, "player");
}

TEST(ClientMessage, KeyNamesAControlAndAState) {
    std::optional<ClientMessage> key = parseClientMessage(keyBytes('2', fire, true));
    ASSERT_TRUE(key);
    EXPECT_EQ(key->playerID, '2');
    EXPECT_EQ(key->control, fire);
    EXPECT_TRUE(key->pressed);
    EXPECT_FALSE(parseClientMessage(keyBytes('2', strafeLeft, false))->pressed);
    EXPECT_FALSE(parseClientMessage(keyBytes('2', 6, true)));
    EXPECT_FALSE(parseClientMessage(std::string{'k', '2', char(-1), 1}));
    EXPECT_FALSE(parseClientMessage(std::string{'k', '2', 0, 2}));
}

TEST(ClientMessage, MouseMotionIsClampedEvenAtTheIntLimits) {
    std::optional<ClientMessage> mouse = parseClientMessage(mouseBytes('1', -90, 45));
    ASSERT_TRUE(mouse);
    EXPECT_EQ(mouse->dx, -90);
    EXPECT_EQ(mouse->dy, 45);
    mouse = parseClientMessage(mouseBytes('1', INT_MIN, INT_MAX));
    EXPECT_EQ(mouse->dx, -maxMouseDelta);
    EXPECT_EQ(mouse->dy, maxMouseDelta);
}

TEST(ClientMessage, TalkIsCutAndStaysInsideTheDatagram) {
    EXPECT_EQ(parseClientMessage(talkBytes('3', "HELLO THERE"))->text, "HELLO THERE");
    std::string longLine(100, 'x');
    EXPECT_EQ(parseClientMessage(talkBytes('3', longLine))->text, std::string(29, 'x'));
    // No terminator: the text ends with the datagram.
    EXPECT_EQ(parseClientMessage("t3abc")->text, "abc");
    EXPECT_EQ(parseClientMessage("t3\t")->text, "?");
    EXPECT_FALSE(parseClientMessage("t3"));
    EXPECT_FALSE(parseClientMessage("t3" + std::string(511, 'x')));
    EXPECT_TRUE(parseClientMessage("t3" + std::string(510, 'x')));
}

// Each type code is accepted at exactly the length of its record and at no other length.
TEST(ClientMessage, LengthMustMatchTheRecord) {
    const std::pair<char, size_t> recordLengths[] = {
        {MessageType::join, 13},     {MessageType::key, 4},   {MessageType::mouse, 12},
        {MessageType::keepAlive, 2}, {MessageType::leave, 2},
    };
    for (size_t length = 0; length <= 600; ++length) {
        for (const auto& [type, recordLength] : recordLengths) {
            std::string bytes(length, '\0');
            if (length > 0) {
                bytes[0] = type;
            }
            EXPECT_EQ(bool(parseClientMessage(bytes)), length == recordLength) << type << length;
        }
        std::string talk(length, 'a');
        if (length > 0) {
            talk[0] = MessageType::talk;
        }
        EXPECT_EQ(bool(parseClientMessage(talk)), length >= 3 && length <= 512) << length;
    }
}

} // namespace
