// The printing steps against a printer double: what happens when the page or
// the job cannot be had.
#include "TestSupport.h"

#include "io/PrintDib.h"

namespace {

class RecordingPrinter final : public PrintTarget {
public:
    PrinterPage page{400, 600, 100, 100};
    bool refuse = false;
    int jobs = 0;

    PrinterPage Page() const override { return page; }
    bool PrintPage(const std::string&, const RasterDC&, const PlacedRect&,
                   std::string& reason) override
    {
        ++jobs;
        if (refuse)
            reason = "Der Druckauftrag konnte nicht gestartet werden.";
        return !refuse;
    }
};

TEST(PrintDib, AFailingJobOrAPageTooLargeIsSaidInGerman)
{
    DibGuard picture(MakeDib(20, 10, 8, [](int x, int) { return std::uint32_t(x); }));
    RecordingPrinter refusing;
    refusing.refuse = true;
    std::string error;
    EXPECT_FALSE(PrintDib(picture.dib, PrintOptions{}, refusing, error));
    EXPECT_EQ(error, "Der Druckauftrag konnte nicht gestartet werden.");

    RecordingPrinter huge;
    huge.page = {20000, 30000, 2400, 2400};
    {
        AllocationLimit limit(std::size_t(64) << 20);
        EXPECT_FALSE(PrintDib(picture.dib, PrintOptions{}, huge, error));
    }
    EXPECT_EQ(huge.jobs, 0);
    EXPECT_NE(error.find("Nicht genug Speicher"), std::string::npos) << error;

    RecordingPrinter none;
    none.page = {0, 0, 0, 0};
    EXPECT_FALSE(PrintDib(picture.dib, PrintOptions{}, none, error));
    EXPECT_FALSE(PrintDib(TDibRecord{}, PrintOptions{}, refusing, error)) << "nothing to print";
    EXPECT_EQ(none.jobs, 0);
}

} // namespace
