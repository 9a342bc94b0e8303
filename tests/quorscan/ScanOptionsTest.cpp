// The test scanner's options as the dialog and the command line see them.
#include "ScanTestSupport.h"

#include <algorithm>

namespace {

class Options : public TestScanner {
protected:
    const ScanOption& Option(const std::string& name)
    {
        options = ReadScanOptions(device->Handle());
        const ScanOption* o = FindScanOption(options, name);
        if (!o)
            throw std::runtime_error("no option " + name);
        return *o;
    }
    std::string Parse(const std::string& name, const std::string& text, ScanValue& value)
    {
        std::string error;
        const bool parsed = ParseScanValue(Option(name), text, value, error);
        EXPECT_EQ(parsed, error.empty()) << error;
        return error;
    }
    std::vector<ScanOption> options;
};

TEST_F(Options, GroupedAsTheBackendGroupsThem)
{
    EXPECT_EQ(Option("mode").group, "Scan Mode");
    EXPECT_EQ(Option("test-picture").group, "Special Options");
    EXPECT_EQ(Option("tl-x").group, "Geometry");
    EXPECT_EQ(Option("resolution").unit, SANE_UNIT_DPI);
    EXPECT_EQ(Option("depth").words, (std::vector<double>{1, 8, 16}));
    EXPECT_EQ(Option("mode").strings, (std::vector<std::string>{"Gray", "Color"}));
}

TEST_F(Options, InactiveOptionsAndArraysAreNotShown)
{
    EXPECT_FALSE(Option("three-pass").Shown()) << "three-pass only exists for colour";
    Set({"mode=Color"});
    EXPECT_TRUE(Option("three-pass").Shown());
    EXPECT_FALSE(Option("three-pass-order").Shown());
    Set({"three-pass=yes"});
    EXPECT_TRUE(Option("three-pass-order").Shown());
    Set({"enable-test-options=yes"});
    EXPECT_FALSE(Option("int-constraint-array").Shown()) << "an array of numbers";
    EXPECT_TRUE(Option("int").Shown());
}

TEST_F(Options, TextsBecomeValuesOfTheOptionsType)
{
    ScanValue v;
    EXPECT_EQ(Parse("hand-scanner", "Ja", v), "");
    EXPECT_EQ(std::get<double>(v), 1);
    EXPECT_EQ(Parse("hand-scanner", "off", v), "");
    EXPECT_EQ(std::get<double>(v), 0);
    EXPECT_EQ(Parse("tl-x", "12,5", v), "");
    EXPECT_EQ(std::get<double>(v), 12.5);
    EXPECT_EQ(Parse("mode", "color", v), "");
    EXPECT_EQ(std::get<std::string>(v), "Color") << "the backend's own spelling";

    EXPECT_NE(Parse("hand-scanner", "vielleicht", v).find("ja oder nein"), std::string::npos);
    EXPECT_NE(Parse("resolution", "5000", v).find("1 bis 1200"), std::string::npos);
    EXPECT_NE(Parse("depth", "4", v).find("1, 8, 16"), std::string::npos);
    EXPECT_NE(Parse("mode", "Lineart", v).find("Gray, Color"), std::string::npos);
    EXPECT_NE(Parse("read-limit-size", "3.5", v).find("ganze Zahl"), std::string::npos);
}

TEST_F(Options, SettingsThatCannotBeAppliedSayWhy)
{
    std::string error;
    EXPECT_FALSE(ApplyScanSetting(device->Handle(), "colour=yes", error));
    EXPECT_NE(error.find("keine Einstellung „colour“"), std::string::npos) << error;
    EXPECT_FALSE(ApplyScanSetting(device->Handle(), "three-pass=yes", error));
    EXPECT_NE(error.find("hängt von anderen Einstellungen ab"), std::string::npos) << error;
    EXPECT_FALSE(ApplyScanSetting(device->Handle(), "mode", error));
    EXPECT_NE(error.find("NAME=WERT"), std::string::npos) << error;

    ASSERT_TRUE(ApplyScanSetting(device->Handle(), "resolution=300", error)) << error;
    ScanValue v;
    ASSERT_EQ(GetScanValue(device->Handle(), Option("resolution"), v), SANE_STATUS_GOOD);
    EXPECT_EQ(std::get<double>(v), 300);
}

TEST_F(Options, RememberedSettingsComeBackAndThoseNoLongerOfferedAreSkipped)
{
    Set({"mode=Color", "three-pass=yes", "tl-x=12"});
    ScanSettings remembered = ReadScanSettings(device->Handle());
    device.reset();
    device = std::make_unique<ScanDevice>("test:0"); // the backend's defaults again
    // Three-pass first: it comes only with the colour mode, which it must wait for.
    std::reverse(remembered.begin(), remembered.end());
    for (auto& [name, value] : remembered)
        if (name == "resolution")
            value = "5000"; // more than the scanner offers now
    remembered.emplace_back("colour", "yes");

    EXPECT_EQ(RestoreScanSettings(device->Handle(), remembered),
              (std::vector<std::string>{"resolution", "colour"}));
    for (const auto& [name, expected] : std::vector<std::pair<std::string, ScanValue>>{
             {"mode", "Color"}, {"three-pass", 1.0}, {"tl-x", 12.0}, {"resolution", 50.0}}) {
        ScanValue v;
        ASSERT_EQ(GetScanValue(device->Handle(), Option(name), v), SANE_STATUS_GOOD);
        EXPECT_EQ(v, expected) << name;
    }
}

} // namespace
