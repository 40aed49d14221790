#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <string>

#include "core/clock.h"
#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
const std::string kFrame = "{A01XYZ 123 045.60 abc 007 Q +21.75 PQ -45 Z\r";

void Receive(TForm1& form, const std::string& bytes) {
    form.cpdrvReceiveData(form.cpdrv, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

// Colour of the character at `pos` as the pane draws it.
TColor ColorAt(const TRichEdit& pane, int pos) {
    QTextCursor c(pane.document());
    c.setPosition(pos + 1);
    const QColor q = c.charFormat().foreground().color();
    return static_cast<TColor>(q.red() | q.green() << 8 | q.blue() << 16);
}

// `lines` lines of text, each `width` characters plus its line break, the last
// one without a break: (width + 1) * lines - 1 characters in all.
std::string Lines(int lines, int width) {
    std::string s;
    for (int i = 0; i < lines; ++i) {
        if (i) s += '\r';
        s += std::string(static_cast<std::size_t>(width - 1), static_cast<char>('a' + i % 26)) + '|';
    }
    return s;
}

void FillPane(TRichEdit& pane, const std::string& text) {
    pane.Clear();
    pane.SetSelText(text);
}

// Point-adding calls land in the charts once those exist; until then the
// checks that count chart points have nothing to count and are skipped.
}  // namespace

TEST(ReceiveHandler, ShowsTheChunkAtTheEndInTheReceivedColour) {
    TForm1 form;
    form.memTerm->LinesAdd("{F00RDD[\r");  // an echo line, as the polling writes it
    const int echoEnd = form.memTerm->GetTextLen();
    form.memTerm->SetSelStart(2);  // the user's caret and selection do not matter
    form.memTerm->SetSelLength(3);
    Receive(form, std::string("AB\x0D\x0A" "1\x07\xB0\x7F", 8));
    EXPECT_EQ(form.memTerm->Text(), "{F00RDD[\rAB\r[0A]1[07][B0]\x7F");
    EXPECT_TRUE(form.StampPending);
    for (int pos = echoEnd; pos < form.memTerm->GetTextLen(); ++pos)
        EXPECT_EQ(ColorAt(*form.memTerm, pos), clBlue) << pos;
    EXPECT_EQ(form.memTerm->SelStart(), form.memTerm->GetTextLen());

    // Breaks off: the CR is an escape, no break, the pending stamp stays.
    form.btnInvio->SetDown(false);
    form.btnData->SetDown(true);
    Receive(form, std::string("\x0D" "D", 2));
    EXPECT_EQ(form.memTerm->Text(), "{F00RDD[\rAB\r[0A]1[07][B0]\x7F[0D]D");
    EXPECT_TRUE(form.StampPending);
}

TEST(ReceiveHandler, TriggerTextOfTheWindowIsUsed) {
    TForm1 form;
    form.edtCARATTERETRIGGER->SetText("0x3E");
    Receive(form, "a>b");
    EXPECT_EQ(form.memTerm->Text(), "a>\rb");
    form.memTerm->Clear();
    form.edtCARATTERETRIGGER->SetText("0xZZ");
    Receive(form, std::string("\x03\x0D", 2));
    EXPECT_EQ(form.memTerm->Text(), "\r[0D]");
}

TEST(ReceiveHandler, PendingStampOpensTheNextChunkEvenWithoutBytes) {
    TForm1 form;
    form.btnOra->SetDown(true);
    form.StampPending = true;
    const std::string before = TimeText(LocalNow());
    form.cpdrvReceiveData(form.cpdrv, nullptr, 0);
    const std::string after = TimeText(LocalNow());
    const std::string text = form.memTerm->Text();
    EXPECT_TRUE(text == before + " " || text == after + " ") << text;
    EXPECT_FALSE(form.StampPending);
}

TEST(ReceiveHandler, FramesFillTheMeasurementRecord) {
    TForm1 form;
    Receive(form, kFrame.substr(0, 10));
    Receive(form, kFrame.substr(10, 30));
    EXPECT_EQ(form.Measurement.Number8, 0) << "no parse before the CR";
    Receive(form, kFrame.substr(40) + "\n");
    EXPECT_EQ(form.Measurement.Byte0, '{');
    EXPECT_EQ(form.Measurement.Number8, 123);
    EXPECT_EQ(form.Measurement.Humidity, 45.6f);
    EXPECT_EQ(form.Measurement.Temperature, 21.75f);
    EXPECT_EQ(form.Measurement.Number39, -45);
    EXPECT_EQ(form.Measurement.Byte43, 'Z');
    EXPECT_EQ(form.memTerm->Text(), kFrame + "[0A]");

    // A short frame leaves the record as it was.
    Receive(form, "{B02\r");
    EXPECT_EQ(form.Measurement.Byte1, 'A');
}

TEST(ReceiveHandler, FramesAndValueLinesReachTheCharts) {
    TForm1 form;
    std::string second = kFrame;
    second.replace(12, 6, "050.00");
    Receive(form, kFrame + second);
    ASSERT_EQ(form.LineSeries1->Count(), 2);
    ASSERT_EQ(form.Series1->Count(), 2);
    EXPECT_EQ(form.LineSeries1->YValue(0), static_cast<double>(45.6f));
    EXPECT_EQ(form.LineSeries1->YValue(1), 50.0);
    EXPECT_EQ(form.Series1->YValue(1), 21.75);
    // A lone CR and a value line's CR chart no frame; the value line itself is charted.
    Receive(form, "\r");
    Receive(form, ">23.5\r");
    EXPECT_EQ(form.LineSeries1->Count(), 2);
    ASSERT_EQ(form.Series1->Count(), 3);
    EXPECT_EQ(form.Series1->YValue(2), 23.5);
    // Humidity unreadable: only the temperature of that frame is charted.
    std::string bad = kFrame;
    bad.replace(12, 6, "------");
    Receive(form, bad);
    EXPECT_EQ(form.LineSeries1->Count(), 2);
    EXPECT_EQ(form.Series1->Count(), 4);
}

TEST(ReceiveHandler, PaneIsKeptUnderItsCapByWholeLines) {
    TForm1 form;
    TRichEdit& pane = *form.memTerm;
    struct Case {
        const char* name;
        std::string before;
        std::string after;  // pane text after receiving "Z"
    };
    // Lines of 100 characters with their breaks.
    const std::string atCap = Lines(320, 99) + "x";  // exactly 32000
    const std::string overCap = atCap + "y";         // 32001
    const std::string manyOver = Lines(400, 99);     // 39999: 80 lines must go
    const std::string oneHuge(40000, 'h');                 // a single line over the cap
    const Case cases[] = {
        {"exactly at the cap", atCap, atCap + "Z"},
        {"one over", overCap, overCap.substr(100) + "Z"},
        {"many lines over", manyOver, manyOver.substr(80 * 100) + "Z"},
        {"one huge line", oneHuge, "Z"},
    };
    ASSERT_EQ(atCap.size(), 32000u);
    for (const Case& c : cases) {
        FillPane(pane, c.before);
        ASSERT_EQ(pane.GetTextLen(), static_cast<int>(c.before.size())) << c.name;
        Receive(form, "Z");
        EXPECT_EQ(pane.Text(), c.after) << c.name;
        EXPECT_LE(pane.GetTextLen(), 32001) << c.name;
    }
}

TEST(ReceiveHandler, ChunkLongerThanTheWorkingCopyIsShownWhole) {
    TForm1 form;
    std::string big(25000, 'q');
    big[9999] = '\x01';
    big[10000] = '\x02';
    big[24999] = 'E';
    Receive(form, big);
    const std::string text = form.memTerm->Text();
    EXPECT_EQ(text.size(), 25000u + 6u);
    EXPECT_EQ(text.substr(9995, 12), "qqqq[01][02]");
    EXPECT_EQ(text.back(), 'E');
}

TEST(ReceiveHandler, PaneTakesTheFocus) {
    TForm1 form;
    form.show();
    form.activateWindow();
    if (!PumpUntil([&] { return form.isActiveWindow(); }, 5000)) GTEST_SKIP() << "window cannot be activated";
    form.cboxSer->setFocus();
    ASSERT_TRUE(PumpUntil([&] { return form.cboxSer->hasFocus(); }, 5000));
    Receive(form, "x");
    EXPECT_TRUE(PumpUntil([&] { return form.memTerm->hasFocus(); }, 5000));
}
