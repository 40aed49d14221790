#include "ui/Unit1.h"

#include <QFontDatabase>
#include <QIcon>
#include <QVBoxLayout>
#include <algorithm>

TForm1* Form1 = nullptr;

namespace {
// Client area of the window; the outer frame adds 8 x 27 pixels around it.
constexpr QSize kClientSize{803, 603};
constexpr QSize kMinimumClientSize{753 - 8, 479 - 27};

// "MS Sans Serif" 8 point where it exists; otherwise a sans-serif face of about
// its width, so the captions fit the places the layout gives them.
QFont WindowFont() {
    const QStringList installed = QFontDatabase::families();
    QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    for (const char* wanted : {"MS Sans Serif", "Liberation Sans", "Arial"})
        if (installed.contains(QLatin1String(wanted))) {
            family = QLatin1String(wanted);
            break;
        }
    QFont font(family);
    font.setPointSize(8);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

TSpeedButton* MakeSpeedButton(QWidget* parent, QRect geometry, int group, const std::string& hint,
                              QStyle::StandardPixmap glyph) {
    auto* b = new TSpeedButton(parent);
    b->setGeometry(geometry);
    b->SetGroupIndex(group);
    b->SetAllowAllUp(group != 0);
    b->SetHint(hint);
    b->setIcon(parent->style()->standardIcon(glyph));
    return b;
}

QSplitter* MakeSplitter(QWidget* parent) {
    auto* s = new QSplitter(Qt::Vertical, parent);
    s->setHandleWidth(3);
    s->setChildrenCollapsible(false);
    return s;
}
}  // namespace

TForm1::TForm1(QWidget* owner) : QWidget(owner) {
    setWindowTitle(QStringLiteral("Brenvic  \" Ostrel \""));
    setWindowIcon(QIcon(QStringLiteral(":/ostrel-demo.png")));
    setFont(WindowFont());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clBtnFace));
    setPalette(pal);
    move(253, 110);
    resize(kClientSize);
    setMinimumSize(kMinimumClientSize);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlSERIALE = new TPanel(this, true);
    pnlSERIALE->setFixedHeight(35);
    Splitter2 = MakeSplitter(this);
    Panel2 = new TPanel(Splitter2, true);
    Panel1 = new TPanel(Splitter2, true);
    Splitter2->addWidget(Panel2);
    Splitter2->addWidget(Panel1);
    // Only the chart area follows the window's height.
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setSizes({402, 139});
    StatusBar1 = new TStatusBar(this, {400, 60, 50});
    StatusBar1->setFixedHeight(24);
    StatusBar1->SetHint("Conteggio incrementale, doppio click reset");
    layout->addWidget(pnlSERIALE);
    layout->addWidget(Splitter2, 1);
    layout->addWidget(StatusBar1);

    BuildCommandBar();
    BuildTerminalArea();
    BuildChartArea();

    cpdrv = new TCommPortDriver(this);
    Timer1 = new TTimer(this);
    Timer1->SetEnabled(false);

    menuSALVATAGGIO = new TPopupMenu(this);
    Apricartella1 = menuSALVATAGGIO->addAction(QStringLiteral("Apri cartella del file Log"));
    AprifileLog1 = menuSALVATAGGIO->addAction(QStringLiteral("Apri file Log"));
    AprifileLog1->setEnabled(false);
    N3 = menuSALVATAGGIO->addSeparator();
    DataOrainLog1 = menuSALVATAGGIO->addAction(QStringLiteral("Data e Ora -> Log"));
    DataOrainLog1->setCheckable(true);
    btnSalva->setMenu(menuSALVATAGGIO);

    setTabOrder(edtCARATTERETRIGGER, editTimer);
    setTabOrder(editTimer, cboxSer);
    setTabOrder(cboxSer, btnExit);

    BindEvents();
    FormCreate(this);
}

TForm1::~TForm1() {
    // The serial component closes its device when it goes, with the window.
    delete cpdrv;
    cpdrv = nullptr;
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildCommandBar() {
    QWidget* bar = pnlSERIALE;
    Label2 = new TLabel(bar, "Selezionare la porta seriale");
    Label2->move(32, 12);

    cboxSer = new TComboBox(bar);
    cboxSer->setGeometry(160, 8, 65, 21);
    for (int n = 1; n <= 16; ++n) cboxSer->addItem(QStringLiteral("COM%1").arg(n));
    cboxSer->SetItemIndex(0);

    Label3 = new TLabel(bar, "e cliccare su");
    Label3->move(234, 12);

    SpeedButton1 = new TSpeedButton(bar);
    SpeedButton1->setGeometry(300, 7, 73, 22);
    SpeedButton1->SetCaption("Connetti");
    SpeedButton1->SetGroupIndex(6);
    SpeedButton1->SetAllowAllUp(true);

    btnCONNETTI = MakeSpeedButton(bar, {416, 8, 17, 20}, 0, "Connetti", QStyle::SP_MediaPlay);
    btnCONNETTI->SetShowHint(true);
    btnDISCONNETTI = MakeSpeedButton(bar, {439, 8, 20, 20}, 0, "Disconnetti", QStyle::SP_MediaStop);
    btnDISCONNETTI->setEnabled(false);

    editTimer = new TEdit(bar);
    editTimer->setGeometry(464, 8, 25, 21);
    editTimer->SetText("1");
    editTimer->setLayoutDirection(Qt::LeftToRight);
    Label1 = new TLabel(bar, "sec");
    Label1->move(488, 12);

    btnTimer = MakeSpeedButton(bar, {513, 8, 20, 20}, 8, "Avvia richieste dati", QStyle::SP_BrowserReload);
    btnData = MakeSpeedButton(bar, {543, 7, 20, 20}, 7, "Visualizza la data", QStyle::SP_FileDialogDetailedView);
    btnOra = MakeSpeedButton(bar, {569, 7, 20, 20}, 8, "Visualizza l' ora", QStyle::SP_FileDialogInfoView);
    btnSalva = MakeSpeedButton(bar, {596, 7, 20, 20}, 9, "Log in file", QStyle::SP_DialogSaveButton);
    btnStayOnTop = MakeSpeedButton(bar, {624, 8, 20, 20}, 6, "Sempre in primo piano", QStyle::SP_TitleBarShadeButton);

    edtCARATTERETRIGGER = new TMaskEdit(bar);
    edtCARATTERETRIGGER->setGeometry(646, 7, 31, 21);
    edtCARATTERETRIGGER->SetHint("Carattere esadecimale di trigger");
    // "0x" and two letters or digits; '_' marks an empty place.
    edtCARATTERETRIGGER->setInputMask(QStringLiteral("\\0\\xNN;_"));
    edtCARATTERETRIGGER->setMaxLength(4);
    edtCARATTERETRIGGER->SetText("0x0D");

    btnInvio = MakeSpeedButton(bar, {685, 7, 20, 20}, 4,
                               "Aggiunge avanzamento riga a ogni carattere esadecimale di trigger ricevuto",
                               QStyle::SP_ArrowDown);
    btnInvio->SetDown(true);

    btnExit = new TButton(bar);
    btnExit->setGeometry(723, 7, 75, 25);
    btnExit->SetCaption("Uscita");

    for (QWidget* hidden : std::initializer_list<QWidget*>{btnCONNETTI, btnDISCONNETTI, editTimer, Label1, btnTimer,
                                                           btnData, btnOra, btnSalva, btnStayOnTop,
                                                           edtCARATTERETRIGGER, btnInvio})
        hidden->setVisible(false);
}

void TForm1::BuildTerminalArea() {
    auto* outer = new QVBoxLayout(Panel1);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    Panel3 = new TPanel(Panel1, false);
    outer->addWidget(Panel3);

    auto* inner = new QVBoxLayout(Panel3);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    Panel4 = new TPanel(Panel3, false);
    Panel4->setFixedHeight(25);
    Label4 = new TLabel(Panel4, "Dati:");
    Label4->move(24, 8);
    memTerm = new TRichEdit(Panel3);
    memTerm->setFont(font());
    inner->addWidget(Panel4);
    inner->addWidget(memTerm, 1);
}

void TForm1::BuildChartArea() {
    auto* outer = new QVBoxLayout(Panel2);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    Splitter3 = MakeSplitter(Panel2);
    outer->addWidget(Splitter3);

    Chart1 = new TChart(Splitter3, QStringLiteral("Temperature °C"), -40, 60);
    Chart2 = new TChart(Splitter3, QStringLiteral("Relative Umiditi %RH"), 0, 100);
    Splitter3->addWidget(Chart1);
    Splitter3->addWidget(Chart2);
    // Only the temperature chart follows the chart area's height.
    Splitter3->setStretchFactor(0, 1);
    Splitter3->setStretchFactor(1, 0);
    Splitter3->setSizes({205, 192});
    Series1 = Chart1->Series();
    LineSeries1 = Chart2->Series();

    TrackBar1 = new TTrackBar(Chart1);
    TrackBar1->setGeometry(0, 0, 25, 185);
    TrackBar1->setVisible(false);
    TrackBar2 = new TTrackBar(Chart2);
    TrackBar2->setGeometry(0, 0, 25, 185);
    TrackBar2->setVisible(false);
}

void TForm1::BindEvents() {
    SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
    btnCONNETTI->OnClick = [this](TObject* s) { btnCONNETTIClick(s); };
    btnDISCONNETTI->OnClick = [this](TObject* s) { btnDISCONNETTIClick(s); };
    btnTimer->OnClick = [this](TObject* s) { btnTimerClick(s); };
    btnStayOnTop->OnClick = [this](TObject* s) { btnStayOnTopClick(s); };
    btnExit->OnClick = [this](TObject* s) { btnExitClick(s); };
    Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
    cpdrv->OnReceiveData = [this](TObject* s, const void* data, std::uint32_t size) {
        cpdrvReceiveData(s, data, size);
    };
}

void TForm1::FormCreate(TObject*) {
    RxColor = clBlue;
    TxColor = clGreen;
    RequestFrame = kInitialRequestFrame;
    FrameBuf.fill(0);
    FrameLen = 0;
    StatusBar1->SetPanelText(0, "Disconnesso");
}

void TForm1::btnStayOnTopClick(TObject*) {
    const bool onTop = btnStayOnTop->Down();
    if (onTop == windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing the window's flags hides it; bring it back where it was.
    if (wasVisible) show();
}

void TForm1::btnExitClick(TObject*) {
    if (cpdrv->Connected()) cpdrv->Disconnect();
    Application->Terminate();
}
