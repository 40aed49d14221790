// The received-data handler: every chunk goes through frame assembly, then is
// shown at the end of the terminal pane and offered to the value-line scanner.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/clock.h"
#include "core/frame.h"
#include "core/terminal.h"
#include "ui/Unit1.h"

namespace {
// Bytes one pass of the handler works on; the serial component delivers at
// most 2048 per event, and anything longer is taken in slices of this size.
constexpr std::size_t kInputCopySize = 10000;
// The pane keeps at most this many characters before new text goes in.
constexpr int kPaneCap = 32000;

void ReceiveSlice(TForm1& form, const std::uint8_t* data, std::size_t size) {
    // Later steps read only this copy, never the component's buffer.
    std::array<std::uint8_t, kInputCopySize> input{};
    if (size > 0) std::memcpy(input.data(), data, size);

    form.memTerm->SetFocus();

    AssembleFrames(input.data(), size, form.FrameBuf, form.FrameLen,
                   [&form](const std::uint8_t* frame) { form.ParseMeasurementFrame(frame); });

    TerminalSettings settings;
    settings.lineBreaks = form.btnInvio->Down();
    settings.dateStamp = form.btnData->Down();
    settings.timeStamp = form.btnOra->Down();
    settings.trigger = TriggerValue(form.edtCARATTERETRIGGER->Text());
    std::string text;
    text.reserve(size * kMaxTextPerByte + 64);
    RenderChunk(text, input.data(), size, settings, form.StampPending, LocalNow());

    // Whole lines go from the top until the pane is back under the cap; a
    // delete that frees nothing (should not happen) ends the loop.
    TRichEdit& pane = *form.memTerm;
    for (int len = pane.GetTextLen(); len > kPaneCap;) {
        pane.DeleteLine(0);
        const int after = pane.GetTextLen();
        if (after >= len) break;
        len = after;
    }

    pane.SetSelStart(pane.GetTextLen());
    pane.SetSelLength(0);
    pane.SetSelColor(form.RxColor);
    pane.SetSelText(text);

    form.ParseValueLine(text.c_str());
}
}  // namespace

void TForm1::cpdrvReceiveData(TObject*, const void* DataPtr, std::uint32_t DataSize) {
    const auto* data = static_cast<const std::uint8_t*>(DataPtr);
    std::size_t left = data ? DataSize : 0;
    do {
        const std::size_t n = std::min(left, kInputCopySize);
        ReceiveSlice(*this, data, n);
        data += n;  // never advanced when there is no data
        left -= n;
    } while (left > 0);
}

void TForm1::ParseMeasurementFrame(const std::uint8_t* frame) {
    StoreFrame(ParseFrame(frame), Measurement, [this](PointKind kind, float value) {
        if (kind == PointKind::Humidity)
            AddHumidityPoint(value);
        else
            AddTemperaturePoint(value);
    });
}
