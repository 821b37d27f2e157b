#include "StartScreen.h"
#include "test_support.h"

namespace {

const PeerAddress master{0x7f000001, 27950};
const PeerAddress alpha{0x7f000001, 5001};
const PeerAddress beta{0x7f000001, 5002};

// The challenge of the latest getinfo the browser sent.
std::string challengeOf(const ServerBrowser& browser) {
    for (auto it = browser.outgoing().rbegin(); it != browser.outgoing().rend(); ++it) {
        if (std::optional<std::string> challenge = parseGetInfo(it->bytes)) {
            return *challenge;
        }
    }
    return "";
}

std::string answer(const std::string& challenge, const std::string& name, int clients, int bots = 0,
                   const std::string& game = gameName) {
    return encodeInfoResponse({{"gamename", game},
                               {"protocol", "1"},
                               {"clients", std::to_string(clients)},
                               {"bots", std::to_string(bots)},
                               {"sv_maxclients", "4"},
                               {"hostname", name},
                               {"mapname", "mapdata"},
                               {"challenge", challenge}});
}

// An entry of a master's list: \, the address and the port, big-endian.
std::string entryOf(const PeerAddress& server) {
    return {'\\',
            char(server.ip >> 24),
            char(server.ip >> 16),
            char(server.ip >> 8),
            char(server.ip),
            char(server.port >> 8),
            char(server.port)};
}

std::string serverList(std::initializer_list<PeerAddress> servers, bool ends) {
    std::string datagram = std::string(queryPrefix) + "getserversResponse";
    for (const PeerAddress& server : servers) {
        datagram += entryOf(server);
    }
    return ends ? datagram + std::string("\\EOT\0\0\0", 7) : datagram;
}

size_t countTo(const ServerBrowser& browser, const PeerAddress& to) {
    return size_t(std::count_if(browser.outgoing().begin(), browser.outgoing().end(),
                                [&](const Datagram& d) { return d.peer == to; }));
}

TEST(ServerBrowser, AsksItsSourcesTwiceAndListsOnlyAnswersToItsOwnQuestions) {
    ServerBrowser browser;
    ServerSources sources;
    sources.localNetwork = true;
    sources.known = {beta};
    sources.favourites = {beta};
    sources.masters = {master};
    browser.refresh(sources, 0);
    EXPECT_EQ(countTo(browser, {0xffffffff, 4003}), 1u);
    EXPECT_EQ(countTo(browser, {0x7f000001, 4000}), 1u);
    EXPECT_EQ(countTo(browser, beta), 1u);
    EXPECT_EQ(browser.outgoing().back().bytes, encodeGetServers());
    std::string first = challengeOf(browser);
    browser.clearOutgoing();
    browser.update(499);
    EXPECT_TRUE(browser.outgoing().empty());

    // A master lists alpha: it is asked at once; a stranger's list asks nobody.
    browser.receive(serverList({alpha}, true), PeerAddress{0x7f000002, 27950}, 10);
    EXPECT_TRUE(browser.outgoing().empty());
    browser.receive(serverList({alpha, alpha}, false), master, 10);
    EXPECT_EQ(countTo(browser, alpha), 1u);
    std::string second = challengeOf(browser);

    // Alpha's bots give their seats to humans: it is not full; Beta's four humans fill it.
    EXPECT_NE(browser.receive(answer(second, "Alpha", 4, 2), alpha, 30), nullptr);
    EXPECT_EQ(browser.receive(answer(first, "Beta", 4), beta, 20)->name, "Beta");
    // Answers to questions never asked, of other games, or again: nothing new.
    EXPECT_EQ(browser.receive(answer("forged", "Evil", 1), {0x7f000003, 4000}, 40), nullptr);
    EXPECT_EQ(browser.receive(answer(first, "Other", 1, 0, "Other"), {0x7f000004, 4000}, 40),
              nullptr);
    EXPECT_EQ(browser.receive(answer(first, "Beta", 4), beta, 600), nullptr);
    ASSERT_EQ(browser.servers().size(), 2u);
    const ServerEntry& fastest = browser.servers()[0];
    EXPECT_EQ(fastest.address, alpha);
    EXPECT_EQ(fastest.ping, 20);
    EXPECT_EQ(fastest.players, 4);
    EXPECT_FALSE(fastest.full());
    EXPECT_TRUE(browser.servers()[1].full());
    EXPECT_TRUE(browser.servers()[1].favourite);
    // The second round asks everyone again, alpha included.
    browser.clearOutgoing();
    browser.update(500);
    EXPECT_EQ(countTo(browser, alpha), 1u);
    EXPECT_EQ(countTo(browser, master), 1u);
}

TEST(ServerBrowser, ListsAreBoundedWhateverArrives) {
    ServerBrowser browser;
    ServerSources sources;
    sources.masters = {master};
    browser.refresh(sources, 0);
    for (uint32_t batch = 0; batch < 100; ++batch) {
        std::string list = std::string(queryPrefix) + "getserversResponse";
        for (uint32_t i = 0; i < 10; ++i) {
            list += entryOf({0x0a000000 + batch * 10 + i, 4000});
        }
        browser.receive(list, master, 1);
    }
    size_t asked = 0;
    for (const Datagram& question : browser.outgoing()) {
        asked += parseGetInfo(question.bytes) ? 1 : 0;
    }
    EXPECT_EQ(asked, ServerBrowser::maxAsked);
    std::string challenge = challengeOf(browser);
    for (uint32_t i = 0; i < 200; ++i) {
        browser.receive(answer(challenge, "S", 1), {0x0a000000 + i, 4000}, 5);
    }
    EXPECT_EQ(browser.servers().size(), ServerBrowser::maxServers);
}

class Start : public ::testing::Test {
  protected:
    StartScreen::Action press(std::initializer_list<Key> keys) {
        StartScreen::Action last = StartScreen::Action::none;
        for (Key key : keys) {
            last = screen.keyDown(key, settings, browser);
        }
        return last;
    }

    Settings settings;
    ServerBrowser browser;
    StartScreen screen{false, settings};
};

TEST_F(Start, TheAddressAndTheNameAreTypedAndReturnActsOnThem) {
    using A = StartScreen::Action;
    EXPECT_EQ(press({Key::down, Key::down, Key::enter}), A::none);
    ASSERT_TRUE(screen.editing());
    screen.type("no good:x");
    EXPECT_EQ(press({Key::enter}), A::none);
    EXPECT_NE(screen.notice(), "");
    EXPECT_TRUE(screen.editing());
    EXPECT_EQ(press({Key::escape}), A::none);
    EXPECT_FALSE(screen.editing());
    press({Key::enter});
    screen.type("game.example:4001");
    EXPECT_EQ(press({Key::backspace, Key::enter}), A::join);
    EXPECT_EQ(screen.target().text(), "game.example:400");
    // Enter began the join; a new edit starts from what was typed.
    press({Key::enter});
    screen.type("2\x01");
    EXPECT_EQ(press({Key::enter}), A::join);
    EXPECT_EQ(screen.target().text(), "game.example:4002");

    EXPECT_EQ(press({Key::down, Key::enter}), A::none);
    screen.type("averyveryverylong#name");
    EXPECT_EQ(press({Key::enter}), A::settingsChanged);
    EXPECT_EQ(settings.name, "averyveryve");
    // The replays the program lists: Return plays the chosen one.
    EXPECT_EQ(press({Key::down, Key::space}), A::listReplays);
    ReplayListing replay;
    replay.path = "/replays/a.cfreplay";
    replay.header.start = "2026-12-07T12:06:10Z";
    replay.header.server = "127.0.0.1:4000";
    replay.length = 83500;
    screen.showReplays({replay});
    char buffer[96];
    EXPECT_EQ(screen.replayLine(0, buffer), "2026-12-07 12:06  127.0.0.1:4000           1:23");
    EXPECT_EQ(press({Key::enter}), A::playReplay);
    EXPECT_EQ(screen.chosenReplay(), "/replays/a.cfreplay");
    EXPECT_EQ(press({Key::escape, Key::down, Key::space}), A::none);
    EXPECT_EQ(screen.page(), StartScreen::Page::settings);
    EXPECT_EQ(press({Key::escape}), A::none);
    EXPECT_EQ(screen.page(), StartScreen::Page::main);
    EXPECT_EQ(press({Key::down, Key::enter}), A::quit);
    EXPECT_EQ(press({Key::down, Key::enter}), A::playBots);
}

TEST_F(Start, TheServerListJoinsTheChosenLineAndKeepsFavourites) {
    using A = StartScreen::Action;
    EXPECT_EQ(press({Key::down, Key::enter}), A::search);
    EXPECT_EQ(screen.page(), StartScreen::Page::servers);
    EXPECT_EQ(press({Key::enter}), A::none); // nothing listed yet
    ServerSources sources;
    sources.known = {alpha, beta};
    browser.refresh(sources, 0);
    std::string challenge = challengeOf(browser);
    browser.receive(answer(challenge, "Alpha", 1), alpha, 5);
    browser.receive(answer(challenge, "Beta", 1), beta, 9);
    EXPECT_EQ(press({Key::down, Key::f}), A::settingsChanged);
    EXPECT_EQ(settings.favourites, (std::vector<ServerAddress>{{"127.0.0.1", 5002}}));
    EXPECT_TRUE(browser.servers()[1].favourite);
    EXPECT_EQ(press({Key::enter}), A::join);
    EXPECT_EQ(screen.target().text(), "127.0.0.1:5002");
    press({Key::f});
    EXPECT_TRUE(settings.favourites.empty());
    // The line the list shows for a server, and a click on it joins it.
    char buffer[96];
    EXPECT_EQ(StartScreen::serverLine(browser.servers()[0], buffer),
              " Alpha            1/4    5 ms  127.0.0.1:5001");
    vec2 viewport(720, 480);
    EXPECT_EQ(screen.click(screen.lineBox(0, viewport).centre, viewport, settings, browser),
              A::join);
    EXPECT_EQ(screen.target().port, 5001);
    EXPECT_EQ(press({Key::r}), A::search);
    EXPECT_EQ(press({Key::escape}), A::none);
    EXPECT_EQ(screen.page(), StartScreen::Page::main);
    EXPECT_EQ(screen.click(screen.itemBox(6, viewport).centre, viewport, settings, browser),
              A::quit);
}

} // namespace
