// Speed buttons: toggles with group indices, events only from clicks.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "platform/speedbutton.h"

namespace {
struct Bar {
    QWidget parent;
    TSpeedButton* Make(int group, bool allowAllUp, std::vector<bool>* seen) {
        auto* b = new TSpeedButton(&parent);
        b->SetGroupIndex(group);
        b->SetAllowAllUp(allowAllUp);
        // The handler reads the state after the switch.
        if (seen) b->OnClick = [b, seen](TObject* sender) {
            EXPECT_EQ(sender, b);
            seen->push_back(b->Down());
        };
        return b;
    }
};
}  // namespace

TEST(SpeedButton, AToggleSwitchesOnClickThenRaisesItsEvent) {
    Bar bar;
    std::vector<bool> seen;
    TSpeedButton* b = bar.Make(6, true, &seen);
    b->click();
    b->click();
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST(SpeedButton, SettingDownFromCodeRaisesNoEvent) {
    Bar bar;
    std::vector<bool> seen;
    TSpeedButton* b = bar.Make(4, true, &seen);
    b->SetDown(true);
    EXPECT_TRUE(b->Down());
    b->SetDown(false);
    EXPECT_TRUE(seen.empty());
}

TEST(SpeedButton, GoingDownPutsTheOtherButtonOfItsGroupUpWithoutAnEvent) {
    Bar bar;
    std::vector<bool> seenA, seenB;
    TSpeedButton* a = bar.Make(8, true, &seenA);
    TSpeedButton* b = bar.Make(8, true, &seenB);
    TSpeedButton* other = bar.Make(7, true, nullptr);
    other->SetDown(true);
    a->click();
    b->click();
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    EXPECT_EQ(seenA, std::vector<bool>{true});
    EXPECT_EQ(seenB, std::vector<bool>{true});
    a->SetDown(true);  // from code: the same rule, no event
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(seenB.size(), 1u);
}

TEST(SpeedButton, WithoutAGroupItIsAPushButton) {
    Bar bar;
    std::vector<bool> seen;
    TSpeedButton* b = bar.Make(0, false, &seen);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(seen, std::vector<bool>{false});
}

TEST(SpeedButton, ARealMouseClickTogglesToo) {
    Bar bar;
    bar.parent.show();
    std::vector<bool> seen;
    TSpeedButton* b = bar.Make(6, true, &seen);
    b->setGeometry(0, 0, 40, 20);
    b->show();
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(seen, std::vector<bool>{true});
}
