// Start-up, the exception display and the ways out of the program.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include "app/startup.h"
#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
int RunProgram(const FormCreator& create = CreateMainForm) {
    int argc = 1;
    char name[] = "ostrel-demo";
    char* argv[] = {name, nullptr};
    return OstrelMain(argc, argv, create);
}
}  // namespace

TEST(StartUp, AFailureShowsItsMessageAndEndsWithStatusOne) {
    const struct {
        const char* what;
        std::function<void()> fail;
        QString shown;
    } cases[] = {
        {"an Exception", [] { throw Exception("window could not be built"); }, "window could not be built"},
        {"any other object", [] { throw 42; }, ""},
    };
    for (const auto& c : cases) {
        ModalWatcher boxes;
        EXPECT_EQ(RunProgram(c.fail), 1) << c.what;
        ASSERT_EQ(boxes.Boxes().size(), 1u) << c.what;
        EXPECT_EQ(boxes.Boxes()[0].caption, "Ostrel demo");
        EXPECT_EQ(boxes.Boxes()[0].text, c.shown);
        EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Critical);
        EXPECT_EQ(boxes.Boxes()[0].buttonCount, 1);
        EXPECT_EQ(Form1, nullptr);
    }
}

TEST(StartUp, TheExitButtonEndsTheProgramWithStatusZero) {
    QTimer::singleShot(200, [] {
        ASSERT_NE(Form1, nullptr);
        EXPECT_TRUE(Form1->isVisible());
        QTest::mouseClick(Form1->btnExit, Qt::LeftButton);
    });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(Form1, nullptr) << "the window is destroyed at the end";
}

TEST(StartUp, ClosingTheWindowEndsTheProgramWithStatusZero) {
    QTimer::singleShot(200, [] { Form1->close(); });
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(Form1, nullptr);
}

TEST(ExceptionDisplay, AnExceptionInAHandlerIsShownAndTheLoopGoesOn) {
    Application->SetTitle("Ostrel demo");
    QWidget parent;
    auto* button = new TSpeedButton(&parent);
    button->SetGroupIndex(0);
    button->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid floating point value"); };

    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        if (ticks == 1) throw Exception("tick failed");
    };

    // Ticks keep coming while the first box is open.
    int ticksWhileOpen = -1;
    ModalWatcher boxes([&](const ShownBox&) {
        const int before = ticks;
        PumpEvents(100);
        if (ticksWhileOpen < 0) ticksWhileOpen = ticks - before;
    });
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == 1; }, 5000));
    button->click();
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == 2; }, 5000));
    timer.SetEnabled(false);

    EXPECT_EQ(boxes.Boxes()[0].text, "tick failed");
    EXPECT_EQ(boxes.Boxes()[1].text, "'x' is not a valid floating point value");
    for (const ShownBox& b : boxes.Boxes()) {
        EXPECT_EQ(b.caption, "Ostrel demo");
        EXPECT_EQ(b.icon, QMessageBox::Critical);
    }
    EXPECT_GT(ticksWhileOpen, 0);
    EXPECT_GT(ticks, 2) << "the timer went on after the exception";
}
