#include "InputNames.h"
#include "test_support.h"

namespace {

const Input w = keyInput(SDL_SCANCODE_W);
const Input up = keyInput(SDL_SCANCODE_UP);

Input mouse(int button) {
    return {Input::Device::mouse, button};
}

Input pad(int button) {
    return {Input::Device::pad, button};
}

// A player who changes nothing has today's controls.
TEST(Bindings, TheDefaultsAreTodaysControls) {
    Bindings bindings = defaultBindings();
    EXPECT_EQ(bindings.actionOf(w, false), Action::forward);
    EXPECT_EQ(bindings.actionOf(keyInput(SDL_SCANCODE_A), false), Action::left);
    EXPECT_EQ(bindings.actionOf(keyInput(SDL_SCANCODE_T), false), Action::chat);
    for (int button = 1; button <= 5; ++button) {
        EXPECT_EQ(bindings.actionOf(mouse(button), false), Action::fire) << button;
    }
    EXPECT_EQ(bindings.actionOf(keyInput(SDL_SCANCODE_SPACE), false), Action::jump);
    EXPECT_EQ(bindings.actionOf(keyInput(SDL_SCANCODE_SPACE), true), Action::pause);
    EXPECT_EQ(bindings.actionOf(keyInput(SDL_SCANCODE_ESCAPE), true), Action::menu);
    EXPECT_EQ(bindings.actionOf(up, false), std::nullopt);
    EXPECT_EQ(bindings.actionOf(pad(padRightTrigger), false), Action::fire);
    EXPECT_EQ(bindings.actionOf(pad(SDL_CONTROLLER_BUTTON_START), false), Action::menu);
    EXPECT_EQ(bindings.actionOf(Input(), false), std::nullopt);
}

// An input does one thing where it counts: the action that had it gets the replaced one.
TEST(Bindings, AKeyInUseSwapsAndMatchAndReplayKeysDoNotMeet) {
    Bindings bindings = defaultBindings();
    bindings.bind(Action::forward, 0, keyInput(SDL_SCANCODE_D));
    EXPECT_EQ(bindings.actionOf(keyInput(SDL_SCANCODE_D), false), Action::forward);
    EXPECT_EQ(bindings.of(Action::right)[0], w);
    bindings.bind(Action::forward, 1, up);
    EXPECT_EQ(bindings.actionOf(up, false), Action::forward);
    EXPECT_EQ(bindings.actionOf(up, true), Action::faster);
    bindings.bind(Action::forward, 0, up);
    EXPECT_EQ(bindings.of(Action::forward)[1], keyInput(SDL_SCANCODE_D));
    bindings.reset();
    EXPECT_EQ(bindings.of(Action::forward)[0], w);
}

TEST(Bindings, TheSettingsKeepThemByNameAndAnUnknownNameKeepsTheDefault) {
    Bindings bindings = defaultBindings();
    bindings.bind(Action::jump, 1, mouse(3));
    bindings.bind(Action::chat, 0, keyInput(SDL_SCANCODE_COMMA));
    Settings settings;
    keepBindings(bindings, settings);
    std::string text = formatSettings(settings);
    EXPECT_NE(text.find("bind_forward = W\n"), std::string::npos);
    EXPECT_NE(text.find("bind_jump = Space, Mouse3\n"), std::string::npos);
    EXPECT_NE(text.find("bind_fire = Mouse, Pad RT\n"), std::string::npos);
    // A name that would not survive the file is written by its number.
    EXPECT_NE(text.find("bind_chat = Scancode 54\n"), std::string::npos);
    std::vector<std::string> unknown;
    Bindings read = bindingsOf(parseSettings(text).settings, unknown);
    EXPECT_TRUE(unknown.empty());
    for (size_t i = 0; i < actionCount; ++i) {
        EXPECT_EQ(read.of(Action(i)), bindings.of(Action(i))) << i;
    }
    settings = parseSettings("bind_forward = Up, Nonsense\nbind_back = Pad Nowhere\n"
                             "bind_left = Keypad 4, Mouse9\nbind_fire = Mouse2\n")
                   .settings;
    read = bindingsOf(settings, unknown);
    EXPECT_EQ(unknown, (std::vector<std::string>{"Nonsense", "Pad Nowhere", "Mouse9"}));
    EXPECT_EQ(read.of(Action::forward)[0], w);
    EXPECT_EQ(read.of(Action::left)[0], keyInput(SDL_SCANCODE_A));
    EXPECT_EQ(read.actionOf(mouse(2), false), Action::fire);
    EXPECT_EQ(read.actionOf(mouse(1), false), std::nullopt);
}

} // namespace
