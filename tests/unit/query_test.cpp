#include "Query.h"

#include <gtest/gtest.h>

namespace {

const std::string prefix = "\xff\xff\xff\xff";

TEST(Query, GetInfoIsAnsweredOnlyForAChallengeItCanEchoSafely) {
    EXPECT_TRUE(isQuery(prefix));
    EXPECT_FALSE(isQuery("\xff\xff\xffgetinfo"));
    EXPECT_EQ(encodeGetInfo("x1"), prefix + "getinfo x1");
    EXPECT_EQ(parseGetInfo(encodeGetInfo("")), "");
    std::string longest(maxChallengeLength, '~');
    EXPECT_EQ(parseGetInfo(encodeGetInfo(longest)), longest);
    EXPECT_EQ(parseGetInfo(encodeGetInfo("!azAZ09~")), "!azAZ09~");
    for (std::string challenge :
         {longest + "~", std::string("a\\b"), std::string("a/b"), std::string("a;b"),
          std::string("a\"b"), std::string("a%b"), std::string("a b"), std::string("a\nb"),
          std::string("a\x7f"), std::string("a\x80"), std::string("a\0b", 3)}) {
        EXPECT_FALSE(parseGetInfo(encodeGetInfo(challenge))) << challenge;
    }
    for (std::string other : {prefix + "getinfo ", prefix + "getinfox", prefix + "getstatus x",
                              std::string("getinfo x"), "\xff\xff\xff" + std::string("getinfo")}) {
        EXPECT_FALSE(parseGetInfo(other)) << other;
    }
}

TEST(Query, InfoResponsesReadBackAndNoValueBreaksOrOverfillsThem) {
    InfoPairs info = {{"gamename", "Cubefray"}, {"clients", "2"}, {"hostname", ""}};
    std::string reply = encodeInfoResponse(info);
    EXPECT_EQ(reply, prefix + "infoResponse\n\\gamename\\Cubefray\\clients\\2\\hostname\\");
    EXPECT_EQ(parseInfoResponse(reply), info);
    EXPECT_EQ(infoValue(info, "clients"), "2");
    EXPECT_FALSE(infoValue(info, "bots"));
    EXPECT_EQ(parseInfoResponse(prefix + "infoResponse\n"), InfoPairs());

    InfoPairs hostile = {{"hostname", "a\\b\nc\x7f" + std::string("\xc3\xa9")}, {"", "lost"}};
    EXPECT_EQ(parseInfoResponse(encodeInfoResponse(hostile)),
              (InfoPairs{{"hostname", "a?b?c?\xc3\xa9"}}));

    // The pair that overflows keeps what fits of its value; the rest is dropped.
    InfoPairs large = {{"challenge", "c"}, {"hostname", std::string(600, 'h')}, {"bots", "0"}};
    reply = encodeInfoResponse(large);
    EXPECT_EQ(reply.size(), maxQueryReply);
    std::optional<InfoPairs> cut = parseInfoResponse(reply);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), 2u);
    EXPECT_EQ(infoValue(*cut, "challenge"), "c");

    std::string header = prefix + "infoResponse\n";
    for (std::string broken :
         {header + "\\odd", header + "no\\leading", header + "\\\\emptykey",
          header + "\\" + std::string(maxInfoKeyLength + 1, 'k') + "\\v", header + "\\k\\v\n",
          prefix + "infoResponse\\k\\v", prefix + "getinfo"}) {
        EXPECT_FALSE(parseInfoResponse(broken)) << broken;
    }
}

// The words the masters know, byte for byte.
TEST(Query, MastersGetTheirWordsAndTheirListsAreReadWholeEntryByWholeEntry) {
    EXPECT_EQ(encodeHeartbeat(), prefix + "heartbeat DarkPlaces\n");
    EXPECT_EQ(encodeGetServers(), prefix + "getservers Cubefray 1 empty full");

    std::string head = prefix + "getserversResponse";
    std::string first("\\\x7f\x00\x00\x01\x0f\xa0", 7);
    std::string zeroPort("\\\x7f\x00\x00\x02\x00\x00", 7);
    std::string second("\\\xc0\xa8\x01\xff\x69\x87", 7);
    std::string end("\\EOT\0\0\0", 7);
    std::optional<ServerListPart> part = parseGetServersResponse(head + first + zeroPort + second);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->servers, (std::vector<PeerAddress>{{0x7f000001, 4000}, {0xc0a801ff, 27015}}));
    EXPECT_FALSE(part->ends);
    part = parseGetServersResponse(head + first + end + second);
    EXPECT_EQ(part->servers, (std::vector<PeerAddress>{{0x7f000001, 4000}}));
    EXPECT_TRUE(part->ends);
    // A cut entry, or one without its backslash, ends the reading.
    EXPECT_EQ(parseGetServersResponse(head + first + second.substr(0, 6))->servers.size(), 1u);
    EXPECT_TRUE(parseGetServersResponse(head + "x" + first)->servers.empty());
    EXPECT_FALSE(parseGetServersResponse(prefix + "getservers" + first));
}

} // namespace
