// What the player hears, rendered by OpenAL Soft through a loopback device into memory, so no
// sound card is needed; and sound files that cannot be played.
#include "FilePath.h"
#include "MathOps.h"
#include "SoundPlayer.h"
#include "WaveFile.h"
#include "game_driver.h"

#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

const int rate = 44100;
const vec3 eye(1536, 139, 500);
// The own player looks along +z and a little up, so its own shots too go into the sky.
const vec3 ahead = normalized(vec3(0, 0.5f, 1));

// The own player, still or shooting, and another shooting into the open sky: the shot meets
// nothing, so only the gun is heard.
PlayerUpdate me(bool shooting = false) {
    return playerRecord('1', "me", eye, ahead, shooting);
}
PlayerUpdate shooterAt(vec3 position) {
    return playerRecord('2', "other", position, vec3(0, 1, 0), true);
}

struct Energy {
    double left = 0;
    double right = 0;
};

// The own player '1' at the eye looks along +z over a floor under open sky. Stereo without HRTF,
// so that the channels are the left and right ears.
class Loopback : public ::testing::Test {
  protected:
    void SetUp() override {
        game.mapManager = loadedMap(mapText(32, 10, 32, [](int, int y, int) { return y == 0; }));
        startTestGame(game);
        deliver(game, "s1");
        testing::internal::CaptureStdout();
        start(getResourcePath(""));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }

    void start(const std::string& folder) {
        auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
            alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        ASSERT_TRUE(open && renderSamples);
        device = open(nullptr);
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     rate,
                                     ALC_HRTF_SOFT,
                                     ALC_FALSE,
                                     0};
        ASSERT_TRUE(sound.start(device, attributes));
        sound.loadSounds(folder);
    }

    // The players of the update as the client sees them, and a quarter of a second of what the
    // own player then hears: new players shoot from their second update on.
    Energy hear(std::initializer_list<PlayerUpdate> records) {
        const std::string update = updateDatagram(records);
        deliver(game, update);
        game.sounds.clear();
        deliver(game, update);
        sound.play(game);
        std::vector<float> mix(size_t(rate / 4) * 2);
        renderSamples(device, mix.data(), rate / 4);
        Energy energy;
        for (size_t i = 0; i < mix.size(); i += 2) {
            energy.left += double(mix[i]) * double(mix[i]);
            energy.right += double(mix[i + 1]) * double(mix[i + 1]);
        }
        return energy;
    }

    // Where the point lands in the picture across a 720-pixel-wide window.
    float pictureX(vec3 point) {
        mat4 toClip =
            perspective(720.0f / 480, 60, 1, 10000) * game.playerByID('1')->getViewMatrix();
        return projectToViewport(toClip, point, vec2(720, 480)).x;
    }

    Game game;
    SoundPlayer sound;
    ALCdevice* device = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
};

TEST_F(Loopback, ShotsAreHeardFromWhereThePictureShowsTheShooterAndFadeWithDistance) {
    const vec3 nearLeft = eye + vec3(-300, 0, 300);
    const vec3 nearRight = eye + vec3(300, 0, 300);
    const vec3 farLeft = eye + vec3(-1400, 0, 1400);
    Energy left = hear({me(), shooterAt(nearLeft)});
    EXPECT_LT(pictureX(nearLeft), 360 - 100);
    Energy right = hear({me(), shooterAt(nearRight)});
    EXPECT_GT(pictureX(nearRight), 360 + 100);
    Energy far = hear({me(), shooterAt(farLeft)});
    Energy own = hear({me(true)});
    EXPECT_GT(left.left, 2 * left.right);
    EXPECT_GT(right.right, 2 * right.left);
    EXPECT_GT(left.left + left.right, 4 * (far.left + far.right));
    EXPECT_GT(far.left + far.right, 0);
    EXPECT_NEAR(own.left / own.right, 1, 0.01);
    // The own gun is louder than another's, even near.
    EXPECT_GT(own.left + own.right, left.left + left.right);
    // Muted, nothing is heard and nothing waits to be heard later.
    sound.setVolume(0);
    Energy muted = hear({me(true)});
    EXPECT_EQ(muted.left + muted.right, 0);
    sound.setVolume(80);
    EXPECT_EQ(hear({me()}).left, 0);
}

TEST_F(Loopback, ASoundFileThatCannotBePlayedIsSaidOnceAndStaysSilent) {
    const std::string folder = ::testing::TempDir() + std::to_string(getpid()) + "_sounds/";
    std::filesystem::create_directories(folder);
    for (const auto& file : std::filesystem::directory_iterator(getResourcePath(""))) {
        std::filesystem::copy(file.path(), folder,
                              std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::resize_file(folder + "shot.wav", 100);
    testing::internal::CaptureStdout();
    start(folder);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Sound " + folder +
                  "shot.wav cannot be played (cut short: a chunk claims 9702 "
                  "bytes, 56 follow): it stays silent\n");
    std::filesystem::remove_all(folder);
    EXPECT_EQ(hear({me(), shooterAt(eye + vec3(0, 0, 300))}).left, 0);
    EXPECT_GT(hear({me(true)}).left, 0);
}

// The level of the loudest 50 ms of a sound file, in decibels below full scale: a short blip and
// a long roar compare as the ear takes them.
double loudnessOf(const std::string& file) {
    WaveRead read = readWaveFile(getResourcePath(file));
    EXPECT_EQ(read.problem, "") << file;
    const std::vector<int16_t>& samples = read.sound.samples;
    const size_t window = size_t(read.sound.sampleRate / 20);
    double loudest = 0;
    for (size_t start = 0; start < samples.size(); start += window / 4) {
        double sum = 0;
        for (size_t i = start; i < std::min(samples.size(), start + window); ++i) {
            sum += double(samples[i]) * samples[i];
        }
        loudest = std::max(loudest, std::sqrt(sum / double(window)) / 32768);
    }
    return 20 * std::log10(loudest);
}

// All kinds play at one gain, so the files set the balance: guns loudest, the own above
// another's; then what shots meet; the roster's and the chat's tones clearly below.
TEST(SoundLevels, GunsAreLoudestAndTheRostersTonesClearlyQuieter) {
    double own = loudnessOf("own_shot.wav");
    double shot = loudnessOf("shot.wav");
    double met = std::max(loudnessOf("explosion.wav"), loudnessOf("impact.wav"));
    double quietestMet = std::min(loudnessOf("explosion.wav"), loudnessOf("impact.wav"));
    double tones =
        std::max({loudnessOf("join.wav"), loudnessOf("leave.wav"), loudnessOf("chat.wav")});
    EXPECT_GT(own, shot);
    EXPECT_GT(shot, met);
    EXPECT_LT(tones, quietestMet - 6);
}

std::string wave(uint16_t format, uint16_t channels, uint16_t bits, uint32_t dataSize,
                 std::string data) {
    std::string fmt = "fmt " + bytesOf(uint32_t(16)) + bytesOf(format) + bytesOf(channels) +
                      bytesOf(uint32_t(22050)) + bytesOf(uint32_t(44100)) + bytesOf(uint16_t(2)) +
                      bytesOf(bits);
    // An odd chunk of another kind first: chunks are padded to even lengths.
    std::string body = "WAVE" + std::string("LIST") + bytesOf(uint32_t(3)) + "abc" + '\0' + fmt +
                       "data" + bytesOf(dataSize) + data;
    return "RIFF" + bytesOf(uint32_t(body.size())) + body;
}

TEST(WaveFile, ReadsMonoSixteenBitPcmAndRefusesAnythingElseWithAReason) {
    WaveRead good = parseWave(wave(1, 1, 16, 4, std::string("\x01\x00\xff\xff", 4)));
    EXPECT_EQ(good.problem, "");
    EXPECT_EQ(good.sound.sampleRate, 22050);
    EXPECT_EQ(good.sound.samples, (std::vector<int16_t>{1, -1}));
    const std::string samples(8, '\x10');
    for (const auto& [bytes, problem] : std::initializer_list<std::pair<std::string, std::string>>{
             {"", "not a RIFF WAVE file"},
             {wave(1, 1, 16, 8, samples).replace(8, 4, "AVI "), "not a RIFF WAVE file"},
             {wave(3, 1, 16, 8, samples), "not PCM but format 3"},
             {wave(1, 2, 16, 8, samples), "2 channels, not one: only mono can be placed"},
             {wave(1, 1, 8, 8, samples), "8 bits a sample, not 16"},
             {wave(1, 1, 16, 0xffffffff, samples),
              "cut short: a chunk claims 4294967295 bytes, 8 follow"},
             {wave(1, 1, 16, 8, samples).substr(0, 58),
              "cut short: a chunk claims 8 bytes, 2 follow"},
             {wave(1, 1, 16, 0, ""), "no samples"},
             {wave(1, 1, 16, 8, samples).replace(24, 4, "junk"), "no fmt chunk"},
         }) {
        WaveRead read = parseWave(bytes);
        EXPECT_EQ(read.problem, problem) << bytes.size();
        EXPECT_TRUE(read.sound.samples.empty());
    }
    EXPECT_EQ(readWaveFile("/nonexistent/shot.wav").problem, "cannot be opened");
    const std::string huge = writeTempFile("huge.wav", std::string(maxWaveFileBytes + 1, '\0'));
    EXPECT_EQ(readWaveFile(huge).problem, "larger than 4 MiB");
    std::remove(huge.c_str());
}

} // namespace
