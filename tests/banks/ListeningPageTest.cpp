// The listening page: its FFT against a plain DFT, the spectrogram's frequency scale and level,
// and a page written for the first few programs of the factory sounds.

#include "ListeningPage.h"
#include "Fft.h"
#include "Spectrogram.h"
#include "graphics/PngCodec.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <filesystem>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string ReadText(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    platform::ReadWholeFile(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("vorna-listen-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string Path() const { return path_.string(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace

TEST(ListeningPage, FftMatchesTheDefinition) {
    std::vector<std::complex<double>> data(64);
    std::uint32_t state = 7;
    for (auto& value : data) {
        state = state * 1664525u + 1013904223u;
        value = {static_cast<double>(state >> 16) / 65536.0 - 0.5, (state & 0xFF) / 256.0 - 0.5};
    }
    std::vector<std::complex<double>> expected(data.size());
    for (std::size_t k = 0; k < data.size(); ++k)
        for (std::size_t n = 0; n < data.size(); ++n)
            expected[k] +=
                data[n] * std::polar(1.0, -2.0 * kPi * static_cast<double>(k * n) / 64.0);
    ASSERT_TRUE(listen::Fft(data));
    for (std::size_t k = 0; k < data.size(); ++k)
        EXPECT_LT(std::abs(data[k] - expected[k]), 1e-9) << k;
    std::vector<std::complex<double>> odd(48, 1.0);
    EXPECT_FALSE(listen::Fft(odd));
    EXPECT_EQ(odd[5], std::complex<double>(1.0));
}

TEST(ListeningPage, SpectrogramShowsASineAtItsFrequencyAndLevel) {
    listen::SpectrogramLayout layout;
    // On a bin of the 2048-point transform (about 1012 Hz), where the window loses nothing.
    const double hz = 47.0 * 44100.0 / 2048.0;
    std::vector<float> sine(44100);
    for (std::size_t i = 0; i < sine.size(); ++i)
        sine[i] = static_cast<float>(0.5 * std::sin(2.0 * kPi * hz * i / 44100.0));
    auto levels = listen::SpectrogramLevels(sine, layout);
    ASSERT_EQ(levels.size(), 44100u / 256 + 1);
    const std::vector<double>& middle = levels[levels.size() / 2];
    ASSERT_EQ(middle.size(), 300u);
    int loudest = 0;
    for (int y = 0; y < 300; ++y)
        if (middle[static_cast<std::size_t>(y)] > middle[static_cast<std::size_t>(loudest)])
            loudest = y;
    EXPECT_NEAR(listen::RowFrequency(loudest, layout), hz, 0.015 * hz);
    EXPECT_NEAR(middle[static_cast<std::size_t>(loudest)], -6.02, 0.1); // half of full scale
    EXPECT_LT(middle[20], -60.0);                                       // far above the sine: dark
    graphics::Surface picture = listen::DrawSpectrogram(levels, layout);
    EXPECT_EQ(picture.Width(), static_cast<int>(levels.size()));
    EXPECT_EQ(picture.Height(), 300);
    EXPECT_NE(picture.Pixel(picture.Width() / 2, loudest), picture.Pixel(picture.Width() / 2, 20));
}

TEST(ListeningPage, TextsAreEscapedForHtml) {
    EXPECT_EQ(listen::EscapeHtml("<Bell & \"Co\">'"), "&lt;Bell &amp; &quot;Co&quot;&gt;&#39;");
    std::string html = listen::PageHtml({{4, "A<B   ", "pad", "program-05.wav", "program-05.png"}});
    EXPECT_NE(html.find("<td>05</td><td class=\"name\">A&lt;B   </td><td>pad</td>"),
              std::string::npos)
        << html;
}

TEST(ListeningPage, WritesAWavAPictureAndARowForEachProgram) {
    TemporaryFolder folder;
    listen::PageRequest request;
    request.folder = folder.File("page");
    request.count = 3;
    request.manifestPath = folder.File("init.tsv");
    std::filesystem::create_directories(folder.Path());
    std::string manifest = "#program\tname\tpitch\tonset_ms\trelease_ms\thardware\tfamily\n";
    for (int p = 0; p < 336; ++p)
        manifest += std::to_string(p) + "\tName" + std::to_string(p % 10) +
                    "xx\t1\t50\t500\tsame\tfamily" +
                    std::string(1, static_cast<char>('a' + p % 26)) + "\n";
    ASSERT_TRUE(platform::WriteFileSafely(request.manifestPath, manifest.data(), manifest.size()));

    std::vector<listen::PageEntry> entries;
    std::string error;
    ASSERT_TRUE(listen::WriteListeningPage(request, entries, error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    std::string index = ReadText(request.folder + "/index.html");
    for (const listen::PageEntry& entry : entries) {
        SCOPED_TRACE(entry.wavFile);
        EXPECT_EQ(entry.family, "family" + std::string(1, static_cast<char>('a' + entry.program)));
        EXPECT_FALSE(entry.name.empty());
        std::string wav = ReadText(request.folder + "/" + entry.wavFile);
        ASSERT_GT(wav.size(), 5u * 44100 * 4);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 4), "WAVE");
        std::string png = ReadText(request.folder + "/" + entry.pngFile);
        graphics::Surface picture;
        ASSERT_TRUE(graphics::DecodePng(reinterpret_cast<const unsigned char*>(png.data()),
                                        png.size(), picture));
        EXPECT_EQ(picture.Height(), 300);
        EXPECT_GT(picture.Width(), 800);
        EXPECT_NE(index.find("src=\"" + entry.wavFile + "\""), std::string::npos);
        EXPECT_NE(index.find("src=\"" + entry.pngFile + "\""), std::string::npos);
        EXPECT_NE(index.find(listen::EscapeHtml(entry.name)), std::string::npos);
        EXPECT_NE(index.find("<td>" + entry.family + "</td>"), std::string::npos);
    }
    EXPECT_EQ(entries[2].wavFile, "program-03.wav");
    EXPECT_EQ(entries[2].pngFile, "program-03.png");
    EXPECT_FALSE(std::filesystem::exists(request.folder + "/program-04.wav"));

    // Out-of-range counts are refused before anything is written.
    request.count = 49;
    request.folder = folder.File("refused");
    EXPECT_FALSE(listen::WriteListeningPage(request, entries, error));
    EXPECT_FALSE(std::filesystem::exists(request.folder));
}
