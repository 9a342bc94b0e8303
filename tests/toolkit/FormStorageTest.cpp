#include "toolkit/FormStorage.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSettings>

namespace {

struct Dialog {
    explicit Dialog(const QString& group) : storage(group)
    {
        grad.setRange(0.01, 359.99);
        storage.Add(&grad, "value", QStringLiteral("GradEdit.Value"));
        storage.Add(&check, "checked", QStringLiteral("SverhCheck.Checked"));
    }
    QDoubleSpinBox grad;
    QCheckBox check;
    TFormStorage storage;
};

TEST(FormStorage, ValuesSurviveANewDialogUnderTheirOwnKeys)
{
    {
        Dialog first(QStringLiteral("TTestForm"));
        first.grad.setValue(12.5);
        first.check.setChecked(true);
        first.storage.SaveProps();
    }
    Dialog second(QStringLiteral("TTestForm"));
    second.storage.RestoreProps();
    EXPECT_DOUBLE_EQ(second.grad.value(), 12.5);
    EXPECT_TRUE(second.check.isChecked());

    QSettings settings(QStringLiteral("Norvane"), QStringLiteral("Kelvora"));
    EXPECT_DOUBLE_EQ(settings.value(QStringLiteral("TTestForm/GradEdit.Value")).toDouble(), 12.5);
}

TEST(FormStorage, NothingStoredOrUnreadableLeavesTheControls)
{
    {
        QSettings settings(QStringLiteral("Norvane"), QStringLiteral("Kelvora"));
        settings.setValue(QStringLiteral("TBrokenForm/GradEdit.Value"), QStringLiteral("abc"));
    }
    Dialog fresh(QStringLiteral("TNeverStoredForm"));
    fresh.grad.setValue(45);
    fresh.storage.RestoreProps();
    EXPECT_DOUBLE_EQ(fresh.grad.value(), 45);

    Dialog broken(QStringLiteral("TBrokenForm"));
    broken.grad.setValue(45);
    broken.storage.RestoreProps();
    EXPECT_DOUBLE_EQ(broken.grad.value(), 45);
}

} // namespace
