// An open test scanner and what its pictures should look like.
#pragma once

#include "PictureSupport.h"
#include "SaneTestBackend.h"

#include "quorscan/ScanAcquire.h"
#include "quorscan/ScanDevice.h"
#include "quorscan/ScanOptions.h"

#include <memory>
#include <string>
#include <vector>

// A colour as the picture shows it, through the colour table at palette depths.
inline Rgb ShownColour(const TDibRecord& d, int x, int y)
{
    if (DibBitCount(d) == 24)
        return PixelColour(d, x, y);
    const RGBQUAD& q = d.Info->bmiColors[getpixel(d, x, y)];
    return Rgb{q.rgbRed, q.rgbGreen, q.rgbBlue};
}

// The test backend's "Grid": squares of 10 mm, white at the top left. Its
// pattern repeats every two squares; the lower square of a pair starts one
// line late.
inline bool GridWhite(int x, int y, int squarePixels)
{
    const bool lowerRow = y % (2 * squarePixels) > squarePixels;
    return ((x / squarePixels) % 2 == 1) == lowerRow;
}

class TestScanner : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        UseSaneTestBackend();
        device = std::make_unique<ScanDevice>("test:0");
        ASSERT_TRUE(device->IsOpen()) << device->Error();
    }
    void TearDown() override
    {
        deldib(result.picture);
        device.reset();
        LeakCheckedTest::TearDown();
    }

    // Sets the options, each "NAME=WERT".
    void Set(const std::vector<std::string>& settings)
    {
        for (const std::string& s : settings) {
            std::string error;
            ASSERT_TRUE(ApplyScanSetting(device->Handle(), s, error)) << s << ": " << error;
        }
    }

    // Scans into result, releasing the picture of the scan before.
    const ScanResult& Scan()
    {
        deldib(result.picture);
        progress.clear();
        result = AcquireScan(device->Handle(), cancel,
                             [this](int percent) { progress.push_back(percent); });
        return result;
    }

    std::unique_ptr<ScanDevice> device;
    ScanCancel cancel;
    ScanResult result;
    std::vector<int> progress;
};
