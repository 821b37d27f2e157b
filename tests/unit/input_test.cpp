#include "game_driver.h"

namespace {

std::string keyBytes(char id, Control control, bool pressed) {
    return wire(encodeKey(id, control, pressed));
}

// A game joined at time 0 whose join has gone out.
class Input : public ::testing::Test {
  protected:
    Input() {
        startTestGame(game);
        game.join("tester", 0);
        EXPECT_EQ(sent(game), std::vector<std::string>{wire(encodeJoin("tester"))});
    }

    Game game;
};

TEST_F(Input, KeepAliveFollowsASecondWithoutInputAndTheChatTimerRunsUnlessTyping) {
    // One keep-alive from the three updates: none at 900 ms, one after 1100 and none right after.
    game.update(900);
    EXPECT_FLOAT_EQ(game.chatTimer, 9.95f);
    EXPECT_TRUE(sent(game).empty());
    game.update(1100);
    game.update(1101);
    EXPECT_EQ(sent(game), std::vector<std::string>{"x0"});
    // Keys and mouse motion count as sent, at the time of the last update; chat does not.
    game.press(Action::forward, 1);
    game.update(1500);
    game.mouseMoved(1, 1, 1500);
    game.press(Action::chat, 2);
    game.press(Action::forward, 1); // held by the chat line now: its text types instead
    game.typeText("w");
    game.keyDown(Key::enter);
    std::vector<std::string> out = sent(game);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], keyBytes('0', walkForward, true));
    EXPECT_EQ(out[1], keyBytes('0', walkForward, true)); // the first repeat
    EXPECT_EQ(out[2], wire(encodeMouse('0', 1, 1)));
    EXPECT_EQ(out[3], wire(encodeTalk('0', "W")));
    game.update(2400);
    EXPECT_EQ(sent(game).back(), keyBytes('0', walkForward, true)); // a repeat, no keep-alive
    // While typing the font's characters type, letters in upper case, and the chat timer
    // stands; keys type nothing.
    game.typeText("ignored while not talking");
    game.press(Action::chat, 2);
    for (Key key : {Key::t, Key::right, Key::keypadEnter, Key::none}) {
        game.keyDown(key);
    }
    game.typeText("hello all, gg! 123\t\xc3\xa9~");
    EXPECT_EQ(game.talkMessage, "HELLO ALL, GG! 123~");
    game.typeText("0123456789ABCDEF");
    EXPECT_EQ(game.talkMessage.size(), size_t(maxTalkLength));
    float timer = game.chatTimer;
    game.update(2401);
    EXPECT_EQ(game.chatTimer, timer);
    // Escape cancels the line unsent; an empty line closes silently; Return while playing only
    // shows the chat again.
    game.keyDown(Key::escape);
    EXPECT_FALSE(game.talking);
    EXPECT_EQ(game.talkMessage, "");
    game.press(Action::chat, 2);
    game.keyDown(Key::enter);
    EXPECT_FALSE(game.talking);
    game.update(2600);
    game.keyDown(Key::enter);
    EXPECT_EQ(game.chatTimer, 10);
    EXPECT_FALSE(game.talking);
    for (const std::string& bytes : sent(game)) {
        EXPECT_NE(parseClientMessage(bytes)->type, MessageType::talk);
    }
}

// A lost release would leave the key held on the server: each change goes out again in the
// next frames, with the id the game knows by then, and a later change replaces it.
TEST_F(Input, EachKeyChangeIsRepeatedInTheNextFramesUntilTheNextChange) {
    game.press(Action::forward, 1);
    game.update(10);
    deliver(game, "s2", 11);
    // Held by two inputs, a control is let go when both are.
    game.press(Action::forward, 2);
    game.release(Action::forward, 1);
    EXPECT_EQ(sent(game).back(), keyBytes('2', walkForward, true));
    game.release(Action::forward, 2);
    EXPECT_EQ(sent(game), std::vector<std::string>{keyBytes('2', walkForward, false)});
    for (int frame = 0; frame < Game::keyRepeatFrames; ++frame) {
        game.update(20 + frame);
        EXPECT_EQ(sent(game), std::vector<std::string>{keyBytes('2', walkForward, false)});
    }
    game.update(50);
    EXPECT_TRUE(sent(game).empty());
    // Sensitivity scales the motion and carries the fractions; inversion turns the vertical.
    game.settings.sensitivity = 0.5f;
    game.settings.invertMouse = true;
    game.mouseMoved(3, 2, 50);
    game.mouseMoved(1, 0, 50);
    EXPECT_EQ(sent(game), (std::vector<std::string>{wire(encodeMouse('2', 1, -1)),
                                                    wire(encodeMouse('2', 1, 0))}));
    game.leave();
    EXPECT_EQ(sent(game), std::vector<std::string>{"d2"});
}

// Until the server answers, the join goes out again every two seconds, and no longer after.
TEST_F(Input, TheJoinIsRepeatedUntilTheServerAnswers) {
    game.update(1999);
    EXPECT_EQ(sent(game), std::vector<std::string>{"x0"});
    game.update(2000);
    EXPECT_EQ(sent(game), std::vector<std::string>{wire(encodeJoin("tester"))});
    deliver(game, "s1", 2100);
    game.update(6000);
    EXPECT_EQ(sent(game), std::vector<std::string>{"x1"});
}

} // namespace
