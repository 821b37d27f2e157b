#include "ControlsPage.h"
#include "Menu.h"
#include "Settings.h"
#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

TEST(Settings, ReadBackWhatIsWrittenClampAndTurnDamageIntoDefaults) {
    Settings changed;
    changed.sensitivity = 1.953125f; // seven digits

    changed.invertMouse = true;
    changed.fieldOfView = 75;
    changed.fullscreen = true;
    changed.volume = 0;
    changed.turnLocally = false;
    changed.networkLine = true;
    changed.name = "alice";
    changed.bots = 2;
    changed.botSkill = SkillLevel::hard;
    changed.lanSearch = false;
    changed.favourites = {{"game.example", 4001}};
    changed.recent = {{"127.0.0.1", 4000}, {"localhost", 4002}};
    changed.masters = {{"master.example", 27950}};
    SettingsRead back = parseSettings(formatSettings(changed));
    EXPECT_EQ(back.problem, "");
    EXPECT_EQ(formatSettings(back.settings), formatSettings(changed));
    EXPECT_EQ(back.settings.sensitivity, changed.sensitivity);
    // Out of range is clamped; comments, blanks and names of other versions pass.
    SettingsRead clamped = parseSettings(
        "# mine\n\nsensitivity = 1e9\nfield_of_view=-5  # too narrow\nshadows = on\n");
    EXPECT_EQ(clamped.problem, "");
    EXPECT_EQ(clamped.settings.sensitivity, Settings::maxSensitivity);
    EXPECT_EQ(clamped.settings.fieldOfView, Settings::minFieldOfView);
    for (const char* damaged :
         {"sensitivity = fast\n", "volume = nan\n", "invert_mouse = maybe\n", "field_of_view\n",
          "x\ny = 3\nsensitivity = 1e99\n", "turn_view_locally = 1\n", "masters = a b:27950\n",
          "favourites = host:99999\n", "recent = :4000\n", "bot_skill = expert\n"}) {
        SettingsRead read = parseSettings(damaged);
        EXPECT_NE(read.problem, "") << damaged;
        EXPECT_EQ(formatSettings(read.settings), formatSettings(Settings())) << damaged;
    }
    EXPECT_EQ(parseSettings("\n# c\nsensitivity = x\n").problem, "line 3 is not name = value");
    // A name is what a join carries and the file keeps; lists take blanks and empty entries.
    Settings read = parseSettings("name =  averyveryverylongname\nbots = 9\n"
                                  "masters = , 127.0.0.1 ,host:27950,\n")
                        .settings;
    EXPECT_EQ(read.name, "averyveryve");
    EXPECT_EQ(read.bots, Settings::maxBots);
    EXPECT_EQ(read.masters, (std::vector<ServerAddress>{{"127.0.0.1", 4000}, {"host", 27950}}));
    EXPECT_EQ(playerName(" a\tb#c\x7f d "), "abc d");
}

TEST(Settings, TheTenServersJoinedLastAreKeptNewestFirst) {
    Settings settings;
    for (int port = 1; port <= 12; ++port) {
        settings.joined({"h", port});
    }
    settings.joined({"h", 5});
    ASSERT_EQ(settings.recent.size(), Settings::maxRecent);
    EXPECT_EQ(settings.recent[0].port, 5);
    EXPECT_EQ(settings.recent[1].port, 12);
    EXPECT_EQ(std::count(settings.recent.begin(), settings.recent.end(), ServerAddress{"h", 5}), 1);
    EXPECT_EQ(parseServerAddress("  localhost  ")->text(), "localhost:4000");
    for (const char* bad : {"", ":4000", "host:", "host:0", "host:x", "a b", "a,b:4000", "h:1:2"}) {
        EXPECT_FALSE(parseServerAddress(bad)) << bad;
    }
}

TEST(Settings, LiveUnderTheConfigFolderAndAMissingFileIsNoProblem) {
    std::string folder = ::testing::TempDir() + "settings_" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    EXPECT_EQ(settingsPath(), folder + "/cubefray/settings");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", folder.c_str(), 1);
    EXPECT_EQ(settingsPath(), folder + "/.config/cubefray/settings");
    // Writing and reading back are the end-to-end test's.
    EXPECT_EQ(readSettings(folder + "/cubefray/settings").problem, "");
    EXPECT_NE(writeSettings("/proc/cubefray/settings", Settings()), "");
    EXPECT_EQ(readSettings(::testing::TempDir()).problem, "it cannot be read");
}

// The keys are the end-to-end test's. A click lowers a value on its left half and raises it on
// its right; beside the menu it resumes.
TEST(Menu, ClicksChooseChangeAndResume) {
    Menu menu;
    Settings settings;
    menu.show();
    EXPECT_EQ(menu.itemCount(), 9u);
    vec2 viewport(720, 480);
    Menu::Box fov = menu.itemBox(3, viewport);
    EXPECT_EQ(menu.click(fov.centre - vec2(50, 0), viewport, settings), Menu::Action::changed);
    EXPECT_EQ(settings.fieldOfView, 55);
    EXPECT_EQ(menu.item(menu.selected()), Menu::Item::fieldOfView);
    EXPECT_EQ(menu.click(menu.itemBox(2, viewport).centre, viewport, settings),
              Menu::Action::changed);
    EXPECT_TRUE(settings.invertMouse);
    EXPECT_EQ(menu.click(vec2(5, 5), viewport, settings), Menu::Action::resume);
    settings.sensitivity = 2;
    char buffer[48];
    EXPECT_EQ(menu.line(1, settings, buffer), "Mouse sensitivity  2");
    EXPECT_EQ(Menu(true).itemCount(), 10u);
    EXPECT_EQ(menu.click(menu.itemBox(4, viewport).centre, viewport, settings),
              Menu::Action::openControls);
    // The toggles of the link: the view turned locally, the network line.
    EXPECT_EQ(menu.click(menu.itemBox(5, viewport).centre, viewport, settings),
              Menu::Action::changed);
    EXPECT_FALSE(settings.turnLocally);
    EXPECT_EQ(menu.line(6, settings, buffer), "Network line  no");
    // The link's line lies under the items, inside the panel.
    EXPECT_TRUE(menu.panel(viewport).contains(menu.linkBox(viewport).centre));
    EXPECT_LT(menu.linkBox(viewport).centre.y, menu.itemBox(8, viewport).centre.y);
}

// The start screen's settings hold the bots of a match against bots; their skill goes round.
TEST(Menu, TheStartScreenSetsTheBotsAndTheirSkill) {
    Menu menu(false, Menu::Kind::startScreen);
    Settings settings;
    menu.show();
    while (menu.item(menu.selected()) != Menu::Item::botSkill) {
        menu.keyDown(Key::down, settings);
    }
    char buffer[48];
    EXPECT_EQ(menu.line(menu.selected(), settings, buffer), "Bot skill  normal");
    EXPECT_EQ(menu.keyDown(Key::right, settings), Menu::Action::changed);
    EXPECT_EQ(menu.line(menu.selected(), settings, buffer), "Bot skill  hard");
    menu.keyDown(Key::enter, settings);
    EXPECT_EQ(settings.botSkill, SkillLevel::easy);
    vec2 viewport(720, 480);
    Menu::Box box = menu.itemBox(menu.selected(), viewport);
    menu.click(box.centre - vec2(50, 0), viewport, settings);
    EXPECT_EQ(settings.botSkill, SkillLevel::hard);
    EXPECT_EQ(menu.item(menu.selected() - 1), Menu::Item::bots);
    Menu inMatch(true);
    for (size_t i = 0; i < inMatch.itemCount(); ++i) {
        EXPECT_NE(inMatch.item(i), Menu::Item::botSkill);
    }
}

} // namespace

// From the lowest sensitivity to the highest in about twenty presses, and back on the same
// values; a value from the settings file joins the steps at the next one.
TEST(Menu, SensitivityStepsByAQuarterAndTheFieldOfViewByFiveDegrees) {
    Menu menu;
    Settings settings;
    menu.show();
    menu.keyDown(Key::down, settings);
    settings.sensitivity = Settings::minSensitivity;
    std::vector<float> up;
    while (settings.sensitivity < Settings::maxSensitivity && up.size() < 30) {
        menu.keyDown(Key::right, settings);
        up.push_back(settings.sensitivity);
    }
    EXPECT_EQ(up.size(), 22u);
    EXPECT_NEAR(up[0], 0.107f, 1e-3f);
    EXPECT_NE(std::find(up.begin(), up.end(), 1.0f), up.end());
    EXPECT_NEAR(up[11], 1.25f, 1e-6f);
    for (size_t i = up.size() - 1; i-- > 0;) {
        menu.keyDown(Key::left, settings);
        EXPECT_EQ(settings.sensitivity, up[i]);
    }
    settings.sensitivity = 3;
    menu.keyDown(Key::left, settings);
    EXPECT_NEAR(settings.sensitivity, 2.44f, 1e-2f);
    char buffer[48];
    EXPECT_EQ(menu.line(1, settings, buffer), "Mouse sensitivity  2.44");
    menu.keyDown(Key::down, settings);
    menu.keyDown(Key::down, settings);
    settings.fieldOfView = 62;
    menu.keyDown(Key::right, settings);
    EXPECT_EQ(settings.fieldOfView, 65);
    menu.keyDown(Key::left, settings);
    menu.keyDown(Key::left, settings);
    EXPECT_EQ(settings.fieldOfView, 55);
}

namespace {

// Up and Down choose, Left and Right the slot, Return waits for the input to bind.
TEST(ControlsPage, BindsWhatIsPressedNextAndResets) {
    const Input w{Input::Device::key, 26};
    const Input up{Input::Device::key, 82};
    Bindings::Table defaults{};
    defaults[size_t(Action::forward)] = {w, Input()};
    defaults[size_t(Action::back)] = {Input{Input::Device::key, 22}, Input()};
    Bindings bindings(defaults);
    ControlsPage page;
    page.show();
    using R = ControlsPage::Result;
    EXPECT_EQ(page.keyDown(Key::right, bindings), R::none);
    EXPECT_EQ(page.keyDown(Key::enter, bindings), R::none);
    EXPECT_TRUE(page.waiting());
    char buffer[96];
    EXPECT_EQ(page.line(0, buffer).substr(0, 43), "Forward                             [press]");
    EXPECT_EQ(page.capture(up, bindings), R::changed);
    EXPECT_EQ(bindings.of(Action::forward)[1], up);
    EXPECT_FALSE(page.waiting());
    // Escape ends a wait without binding; nothing is captured when nobody waits.
    page.keyDown(Key::enter, bindings);
    page.keyDown(Key::escape, bindings);
    EXPECT_EQ(page.capture(w, bindings), R::none);
    EXPECT_TRUE(page.isOpen());
    page.keyDown(Key::up, bindings);
    EXPECT_EQ(page.selected(), ControlsPage::lineCount - 1);
    EXPECT_EQ(page.line(page.selected(), buffer), "Reset to defaults");
    EXPECT_EQ(page.keyDown(Key::enter, bindings), R::changed);
    EXPECT_EQ(bindings.of(Action::forward)[1], Input());
    EXPECT_EQ(page.keyDown(Key::escape, bindings), R::back);
    EXPECT_FALSE(page.isOpen());
}

} // namespace
