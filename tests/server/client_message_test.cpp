#include "ClientMessage.h"
#include "server_test_support.h"

#include <climits>
#include <map>

namespace {

TEST(ClientMessage, TextIsBoundedPrintableAndStaysInsideTheDatagram) {
    // Twelve letters fill the name field with no terminator; nothing past it is read.
    EXPECT_EQ(parseClientMessage("jabcdefghijkl")->text, "abcdefghijkl");
    EXPECT_EQ(parseClientMessage("ja\nb\x01\xff" + std::string(7, '\0'))->text, "a?b??");
    EXPECT_EQ(parseClientMessage("j" + std::string(12, '\0'))->text, "player");
    EXPECT_EQ(parseClientMessage(talkBytes('3', std::string(40, 'x')))->text, std::string(29, 'x'));
    // Talk without a terminator: the text ends with the datagram.
    EXPECT_EQ(parseClientMessage("t3abc")->text, "abc");
    EXPECT_EQ(parseClientMessage("t3\t")->text, "?");
}

// Values that would index past the controls or turn the view without bound.
TEST(ClientMessage, KeysAndMouseMotionStayInRange) {
    EXPECT_TRUE(parseClientMessage(keyBytes('2', controlCount - 1, true)));
    EXPECT_FALSE(parseClientMessage(keyBytes('2', controlCount, true)));
    EXPECT_FALSE(parseClientMessage(std::string{'k', '2', char(-1), 1}));
    EXPECT_FALSE(parseClientMessage(std::string{'k', '2', 0, 2}));
    std::optional<ClientMessage> mouse = parseClientMessage(mouseBytes('1', -90, 45));
    EXPECT_EQ(mouse->dx, -90);
    EXPECT_EQ(mouse->dy, 45);
    mouse = parseClientMessage(mouseBytes('1', INT_MIN, INT_MAX));
    EXPECT_EQ(mouse->dx, -maxMouseDelta);
    EXPECT_EQ(mouse->dy, maxMouseDelta);
}

// Each known type code is accepted at exactly the length of its record; other codes never are.
TEST(ClientMessage, LengthMustMatchTheRecordOfAKnownType) {
    const std::map<char, size_t> recordLengths = {
        {MessageType::join, 13},     {MessageType::key, 4},   {MessageType::mouse, 12},
        {MessageType::keepAlive, 2}, {MessageType::leave, 2},
    };
    for (int code = 0; code < 256; ++code) {
        const bool talk = code == MessageType::talk;
        const auto record = recordLengths.find(char(code));
        for (size_t length = 1; length <= 600; ++length) {
            const std::string bytes = char(code) + std::string(length - 1, talk ? 'a' : '\0');
            const bool valid = talk ? length >= 3 && length <= 512
                                    : record != recordLengths.end() && record->second == length;
            EXPECT_EQ(bool(parseClientMessage(bytes)), valid) << code << " " << length;
        }
    }
}

} // namespace
