// A gamepad through SDL's virtual joystick, no device needed: it walks, turns and fires, and what
// the game sends is read back at a stand-in server.
#include "Gamepads.h"
#include "InputNames.h"
#include "MatchInput.h"
#include "UdpEndpoint.h"
#include "game_driver.h"

#include <SDL.h>

namespace {

class Pad : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        ASSERT_EQ(server.bind(0, 0x7f000001), "");
        ASSERT_EQ(client.open(), "");
        startTestGame(game);
        deliver(game, "s1");
        SDL_VirtualJoystickDesc pad{};
        pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        pad.naxes = SDL_CONTROLLER_AXIS_MAX;
        pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        device = SDL_JoystickAttachVirtualEx(&pad);
        ASSERT_GE(device, 0) << SDL_GetError();
        pump();
        joystick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
        ASSERT_NE(joystick, nullptr);
    }
    void TearDown() override { SDL_Quit(); }

    // The pad's events as the program takes them; what the game sends then, at the server.
    std::vector<std::string> pump() {
        SDL_JoystickUpdate();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            gamepads.handle(event, [this](Input pad, bool down) {
                down ? (void)input.pressed(pad) : input.released(pad);
            });
        }
        return sent();
    }

    std::vector<std::string> frame(double now) {
        int dx = 0;
        int dy = 0;
        gamepads.turn(game.settings.padSensitivity, dx, dy);
        if (dx != 0 || dy != 0) {
            game.turn(dx, dy, now);
        }
        return sent();
    }

    std::vector<std::string> sent() {
        PeerAddress at = server.localAddress().value_or(PeerAddress());
        for (const WireBytes& message : game.outgoing()) {
            EXPECT_EQ(client.send(at, message.view()), "");
        }
        game.clearOutgoing();
        std::vector<std::string> arrived;
        char buffer[64];
        while (server.waitForDatagram(std::chrono::milliseconds(20))) {
            UdpEndpoint::Received received = server.receive(buffer, sizeof buffer);
            arrived.emplace_back(buffer, received.size);
        }
        return arrived;
    }

    void set(SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(joystick, axis, value);
    }

    Game game;
    Bindings bindings = defaultBindings();
    Gamepads gamepads;
    MatchInput input{game, bindings};
    UdpEndpoint server;
    UdpEndpoint client;
    int device = -1;
    SDL_Joystick* joystick = nullptr;
};

std::string key(Control control, bool pressed) {
    return wire(encodeKey('1', control, pressed));
}

TEST_F(Pad, TheLeftStickWalksTheRightTurnsTheTriggerFiresAndUnpluggingLetsGo) {
    // Past the dead zone only.
    set(SDL_CONTROLLER_AXIS_LEFTY, -Gamepads::deadZone);
    EXPECT_TRUE(pump().empty());
    set(SDL_CONTROLLER_AXIS_LEFTY, -32767);
    EXPECT_EQ(pump(), std::vector<std::string>{key(walkForward, true)});
    set(SDL_CONTROLLER_AXIS_LEFTX, 20000);
    EXPECT_EQ(pump(), std::vector<std::string>{key(strafeRight, true)});

    // Full tilt to the right: the turn a mouse moving right would send; a small tilt turns
    // slowly and carries its fractions, a greater sensitivity faster.
    set(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    pump();
    EXPECT_EQ(frame(0), std::vector<std::string>{wire(encodeMouse('1', -15, 0))});
    set(SDL_CONTROLLER_AXIS_RIGHTX, 0);
    set(SDL_CONTROLLER_AXIS_RIGHTY, 16384);
    pump();
    std::vector<std::string> turns;
    for (int i = 0; i < 6; ++i) {
        for (const std::string& bytes : frame(i)) {
            turns.push_back(bytes);
        }
    }
    int down = 0;
    for (const std::string& bytes : turns) {
        down += parseClientMessage(bytes)->dy;
    }
    EXPECT_EQ(down, 10);
    game.settings.padSensitivity = 2;
    EXPECT_EQ(parseClientMessage(frame(7).at(0))->dy, 3);
    set(SDL_CONTROLLER_AXIS_RIGHTY, 0);

    // The right trigger past half way fires, A jumps.
    set(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    std::vector<std::string> pressed = pump();
    EXPECT_NE(std::find(pressed.begin(), pressed.end(), key(fire, true)), pressed.end());
    EXPECT_NE(std::find(pressed.begin(), pressed.end(), key(jump, true)), pressed.end());

    // W held on the keyboard as well: the stick's release leaves the walk to the key.
    input.pressed(keyInput(SDL_SCANCODE_W));
    sent();
    set(SDL_CONTROLLER_AXIS_LEFTY, 0);
    for (const std::string& bytes : pump()) {
        EXPECT_NE(bytes, key(walkForward, false));
    }
    // Unplugged: everything the pad held is let go.
    SDL_JoystickDetachVirtual(device);
    std::vector<std::string> released = pump();
    for (Control control : {fire, jump, strafeRight}) {
        EXPECT_NE(std::find(released.begin(), released.end(), key(control, false)), released.end())
            << control;
    }
    EXPECT_EQ(std::find(released.begin(), released.end(), key(walkForward, false)), released.end());
}

} // namespace
