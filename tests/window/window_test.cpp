// The main window as built: geometry, layout rules, controls and start state.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm1(nullptr);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    void TearDown() override { delete form; }

    // Geometry of `w` in the window's client coordinates.
    QRect InWindow(const QWidget* w) const { return QRect(w->mapTo(form, QPoint(0, 0)), w->size()); }

    TForm1* form = nullptr;
};
}  // namespace

TEST_F(MainWindow, StartsAtItsDesignPositionAndSize) {
    EXPECT_EQ(form->pos(), QPoint(253, 110));
    // Client 803 x 603 inside an outer frame of 811 x 630.
    EXPECT_EQ(form->size(), QSize(803, 603));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Brenvic  \" Ostrel \""));
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->font().pointSize(), 8);
}

TEST_F(MainWindow, CannotBeMadeSmallerThanItsMinimum) {
    EXPECT_EQ(form->minimumSize(), QSize(753 - 8, 479 - 27));
    form->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), QSize(745, 452));
}

TEST_F(MainWindow, AreasFollowTheirAlignment) {
    const struct {
        const char* name;
        QWidget* w;
        QRect where;
    } areas[] = {
        {"pnlSERIALE", form->pnlSERIALE, {0, 0, 803, 35}},
        {"Panel2", form->Panel2, {0, 35, 803, 402}},
        {"Panel1", form->Panel1, {0, 440, 803, 139}},
        {"StatusBar1", form->StatusBar1, {0, 579, 803, 24}},
        {"Chart1", form->Chart1, {1, 36, 801, 205}},
        {"Chart2", form->Chart2, {1, 244, 801, 192}},
        {"memTerm", form->memTerm, {1, 466, 801, 112}},
    };
    for (const auto& a : areas) EXPECT_EQ(InWindow(a.w), a.where) << a.name;
    EXPECT_EQ(form->Splitter2->handleWidth(), 3);
    EXPECT_EQ(form->Splitter3->handleWidth(), 3);
    EXPECT_EQ(form->StatusBar1->PanelCount(), 3);
    for (int i = 0; const int width : {400, 60, 50}) EXPECT_EQ(form->StatusBar1->PanelWidth(i++), width);
}

TEST_F(MainWindow, OnlyTheTemperatureChartFollowsTheWindowHeight) {
    for (const int height : {803, 500}) {
        form->resize(803, height);
        QApplication::processEvents();
        const int delta = height - 603;
        EXPECT_EQ(form->pnlSERIALE->height(), 35);
        EXPECT_EQ(form->Panel2->height(), 402 + delta);
        EXPECT_EQ(form->Chart1->height(), 205 + delta);
        EXPECT_EQ(form->Chart2->height(), 192);
        EXPECT_EQ(form->Panel1->height(), 139);
        EXPECT_EQ(form->StatusBar1->height(), 24);
        EXPECT_EQ(form->StatusBar1->y(), height - 24);
    }
}

TEST_F(MainWindow, SplittersDragTheAreasBelowThem) {
    form->Splitter2->setSizes({302, 239});
    form->Splitter3->setSizes({100, 197});
    QApplication::processEvents();
    EXPECT_EQ(form->Panel1->height(), 239);
    EXPECT_EQ(form->Chart2->height(), 197);
}

TEST_F(MainWindow, ShowsOnlyTheCommandBarsVisibleControls) {
    const struct {
        const char* name;
        QWidget* w;
        bool shown;
        QRect where;  // relative to the command bar
    } controls[] = {
        {"cboxSer", form->cboxSer, true, {160, 8, 65, 21}},
        {"SpeedButton1", form->SpeedButton1, true, {300, 7, 73, 22}},
        {"btnExit", form->btnExit, true, {723, 7, 75, 25}},
        {"btnCONNETTI", form->btnCONNETTI, false, {416, 8, 17, 20}},
        {"btnDISCONNETTI", form->btnDISCONNETTI, false, {439, 8, 20, 20}},
        {"editTimer", form->editTimer, false, {464, 8, 25, 21}},
        {"btnTimer", form->btnTimer, false, {513, 8, 20, 20}},
        {"btnData", form->btnData, false, {543, 7, 20, 20}},
        {"btnOra", form->btnOra, false, {569, 7, 20, 20}},
        {"btnSalva", form->btnSalva, false, {596, 7, 20, 20}},
        {"btnStayOnTop", form->btnStayOnTop, false, {624, 8, 20, 20}},
        {"edtCARATTERETRIGGER", form->edtCARATTERETRIGGER, false, {646, 7, 31, 21}},
        {"btnInvio", form->btnInvio, false, {685, 7, 20, 20}},
        {"Label1", form->Label1, false, {488, 12, form->Label1->width(), form->Label1->height()}},
        {"TrackBar1", form->TrackBar1, false, {0, 0, 25, 185}},
        {"TrackBar2", form->TrackBar2, false, {0, 0, 25, 185}},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(c.w->isVisible(), c.shown) << c.name;
        EXPECT_EQ(c.w->geometry(), c.where) << c.name;
    }
    EXPECT_EQ(form->Label2->text(), "Selezionare la porta seriale");
    EXPECT_EQ(form->Label2->pos(), QPoint(32, 12));
    EXPECT_EQ(form->Label3->text(), "e cliccare su");
    EXPECT_EQ(form->Label3->pos(), QPoint(234, 12));
    EXPECT_EQ(form->Label4->text(), "Dati:");
    EXPECT_EQ(form->SpeedButton1->Caption(), "Connetti");
    EXPECT_EQ(form->btnExit->Caption(), "Uscita");
    EXPECT_EQ(form->Label1->text(), "sec");
    // Captions must fit: the label ends before the control that follows it.
    EXPECT_LE(form->Label2->x() + form->Label2->sizeHint().width(), form->cboxSer->x());
    EXPECT_LE(form->Label3->x() + form->Label3->sizeHint().width(), form->SpeedButton1->x());
}

TEST_F(MainWindow, HiddenControlsHoldTheirSettings) {
    EXPECT_EQ(form->editTimer->Text(), "1");
    EXPECT_EQ(form->edtCARATTERETRIGGER->Text(), "0x0D");
    EXPECT_TRUE(form->btnInvio->Down());
    for (TSpeedButton* up : {form->SpeedButton1, form->btnTimer, form->btnData, form->btnOra, form->btnSalva,
                             form->btnStayOnTop})
        EXPECT_FALSE(up->Down()) << up->objectName().toStdString();
    EXPECT_TRUE(form->btnCONNETTI->isEnabled());
    EXPECT_FALSE(form->btnDISCONNETTI->isEnabled());
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->btnInvio->Hint(), "Aggiunge avanzamento riga a ogni carattere esadecimale di trigger ricevuto");
    EXPECT_EQ(form->btnOra->Hint(), "Visualizza l' ora");
    EXPECT_EQ(form->edtCARATTERETRIGGER->Hint(), "Carattere esadecimale di trigger");
    EXPECT_EQ(form->StatusBar1->Hint(), "Conteggio incrementale, doppio click reset");
    // Hints are kept but not shown; only the hidden connect button shows its own.
    EXPECT_EQ(form->btnCONNETTI->toolTip(), "Connetti");
    EXPECT_TRUE(form->btnStayOnTop->toolTip().isEmpty());

    const QList<QAction*> items = form->menuSALVATAGGIO->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "Apri cartella del file Log");
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), "Data e Ora -> Log");
    EXPECT_TRUE(items[3]->isCheckable());
    EXPECT_FALSE(items[3]->isChecked());
    EXPECT_EQ(form->btnSalva->menu(), form->menuSALVATAGGIO);
}

TEST_F(MainWindow, PortListOffersCom1ToCom16AndNoTyping) {
    ASSERT_EQ(form->cboxSer->count(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(form->cboxSer->itemText(i), QStringLiteral("COM%1").arg(i + 1));
    EXPECT_EQ(form->cboxSer->Text(), "COM1");
    EXPECT_FALSE(form->cboxSer->isEditable());
}

TEST_F(MainWindow, FormCreateSetsTheStartState) {
    EXPECT_EQ(form->RxColor, 0xFF0000u);
    EXPECT_EQ(form->TxColor, 0x008000u);
    const RequestFrameBytes expected = {0x7B, 0x46, 0x30, 0x30, 0x52, 0x44, 0x44, 0x00, 0x0D};
    EXPECT_EQ(form->RequestFrame, expected);
    EXPECT_EQ(form->FrameLen, 0u);
    EXPECT_TRUE(std::all_of(form->FrameBuf.begin(), form->FrameBuf.end(), [](auto b) { return b == 0; }));
    EXPECT_FALSE(form->PortOpen);
    EXPECT_FALSE(form->StampPending);
    EXPECT_EQ(form->StatusBar1->PanelText(0), "Disconnesso");
    EXPECT_EQ(form->StatusBar1->PanelText(1), "");
    EXPECT_EQ(form->StatusBar1->Color(), clBtnFace);
    EXPECT_EQ(form->memTerm->GetTextLen(), 0);
    EXPECT_EQ(form->Series1->Count(), 0);
    EXPECT_EQ(form->LineSeries1->Count(), 0);
}

TEST_F(MainWindow, TypingInTheTerminalPaneEditsOnlyItsText) {
    form->memTerm->setFocus();
    QTest::keyClicks(form->memTerm, "abc");
    EXPECT_EQ(form->memTerm->Text(), "abc");
    EXPECT_FALSE(form->memTerm->isReadOnly());
    EXPECT_EQ(form->memTerm->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(MainWindow, StayOnTopFollowsItsButton) {
    form->btnStayOnTop->click();
    EXPECT_TRUE(form->btnStayOnTop->Down());
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form->isVisible());
    form->btnStayOnTop->click();
    EXPECT_FALSE(form->btnStayOnTop->Down());
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindow, SharedGroupsReleaseEachOther) {
    EXPECT_EQ(form->SpeedButton1->GroupIndex(), 6);
    EXPECT_EQ(form->btnStayOnTop->GroupIndex(), 6);
    EXPECT_EQ(form->btnTimer->GroupIndex(), 8);
    EXPECT_EQ(form->btnOra->GroupIndex(), 8);
    for (TSpeedButton* own : {form->btnData, form->btnSalva, form->btnInvio})
        EXPECT_NE(own->GroupIndex(), 0);
    EXPECT_EQ(form->btnCONNETTI->GroupIndex(), 0);
    EXPECT_EQ(form->btnDISCONNETTI->GroupIndex(), 0);

    form->btnTimer->SetDown(true);
    form->btnOra->SetDown(true);
    EXPECT_FALSE(form->btnTimer->Down());
    form->btnStayOnTop->SetDown(true);
    form->SpeedButton1->SetDown(true);
    EXPECT_FALSE(form->btnStayOnTop->Down());
}
