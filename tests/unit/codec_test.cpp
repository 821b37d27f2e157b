#include "Codec.h"
#include "test_support.h"

#include <climits>
#include <map>

namespace {

std::string talkBytes(char id, const std::string& text) {
    return std::string{MessageType::talk, id} + text + std::string(1, '\0');
}

TEST(ClientMessages, AreBuiltToTheirLayoutsAndReadBackAsSent) {
    EXPECT_EQ(wire(encodeJoin("averyveryverylongname")), std::string("javeryveryve\0", 13));
    EXPECT_EQ(joinedName("averyveryverylongname"), "averyveryve");
    EXPECT_EQ(wire(encodeKey('2', walkForward, true)), std::string("k2\3\1", 4));
    EXPECT_EQ(wire(encodeMouse('1', -5, 3)), std::string("m1\0\0\xfb\xff\xff\xff\3\0\0\0", 12));
    EXPECT_EQ(wire(encodeTalk('1', std::string(31, 'A'))),
              "t1" + std::string(29, 'A') + std::string(1, '\0'));
    EXPECT_EQ(wire(encodeKeepAlive('3')), "x3");
    EXPECT_EQ(wire(encodeLeave('3')), "d3");
    EXPECT_EQ(parseClientMessage(wire(encodeJoin("alice")))->text, "alice");
    std::optional<ClientMessage> key = parseClientMessage(wire(encodeKey('2', fire, false)));
    EXPECT_EQ(key->playerID, '2');
    EXPECT_EQ(key->control, fire);
    EXPECT_FALSE(key->pressed);
}

TEST(ClientMessages, TextIsBoundedPrintableAndStaysInsideTheDatagram) {
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
TEST(ClientMessages, KeysAndMouseMotionStayInRange) {
    EXPECT_TRUE(parseClientMessage(wire(encodeKey('2', Control(controlCount - 1), true))));
    EXPECT_FALSE(parseClientMessage(wire(encodeKey('2', controlCount, true))));
    EXPECT_FALSE(parseClientMessage(std::string{'k', '2', char(-1), 1}));
    EXPECT_FALSE(parseClientMessage(std::string{'k', '2', 0, 2}));
    std::optional<ClientMessage> mouse = parseClientMessage(wire(encodeMouse('1', -90, 45)));
    EXPECT_EQ(mouse->dx, -90);
    EXPECT_EQ(mouse->dy, 45);
    mouse = parseClientMessage(wire(encodeMouse('1', INT_MIN, INT_MAX)));
    EXPECT_EQ(mouse->dx, -maxMouseDelta);
    EXPECT_EQ(mouse->dy, maxMouseDelta);
}

// Each known type code is accepted at exactly the length of its record; other codes never are.
TEST(ClientMessages, LengthMustMatchTheRecordOfAKnownType) {
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

// The client reads what the server sends leniently: short datagrams as if zeros followed.
TEST(ServerMessages, ShortDatagramsReadAsIfZerosFollowed) {
    EXPECT_EQ(wire(encodeYourID('3')), "s3");
    EXPECT_EQ(wire(encodeServerFull()), "f");
    ServerMessage id = parseServerMessage("s3");
    EXPECT_EQ(id.kind, ServerMessage::Kind::yourID);
    EXPECT_EQ(id.playerID, '3');
    EXPECT_EQ(parseServerMessage("s").playerID, '\0');
    EXPECT_EQ(parseServerMessage("f").kind, ServerMessage::Kind::serverFull);
    EXPECT_EQ(parseServerMessage("").kind, ServerMessage::Kind::unknown);
    EXPECT_EQ(parseServerMessage("q").kind, ServerMessage::Kind::unknown);
    ServerMessage talk = parseServerMessage("tshello\0junk");
    EXPECT_EQ(talk.playerID, serverSenderID);
    EXPECT_EQ(talk.text, "hello");
    EXPECT_EQ(parseServerMessage("ts" + std::string(600, 'x')).text.size(), 510u);
    EXPECT_EQ(parseServerMessage("t").text, "");

    std::string update = updateDatagram({playerRecord('a', "alice", vec3(1, 2, 3)),
                                         playerRecord('b', "bob", vec3(4, 5, 6), vec3(0, 0, 1))});
    ServerMessage whole = parseServerMessage(update);
    ASSERT_EQ(whole.playerCount, 2u);
    EXPECT_EQ(textOfField(whole.players[1].name, nameFieldSize), "bob");
    EXPECT_TRUE(near(whole.players[1].direction, vec3(0, 0, 1)));
    // Cut inside the second record: its id byte reads as zero, which ends the list.
    EXPECT_EQ(parseServerMessage(update.substr(0, 100)).playerCount, 1u);
    EXPECT_EQ(parseServerMessage(update.substr(0, 1)).playerCount, 0u);
    // An id of zero ends the list, whatever follows.
    EXPECT_EQ(parseServerMessage(
                  updateDatagram({playerRecord(0, "x", vec3()), playerRecord('b', "b", vec3())}))
                  .playerCount,
              0u);
}

} // namespace
