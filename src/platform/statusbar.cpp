#include "platform/statusbar.h"

#include <QPainter>
#include <QStyle>

#include "platform/application.h"

TStatusBar::TStatusBar(QWidget* parent, std::vector<int> panelWidths) : QWidget(parent), color_(clBtnFace) {
    for (int w : panelWidths) panels_.push_back({w, {}});
}

void TStatusBar::SetColor(TColor c) {
    color_ = c;
    update();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    panels_.at(index).text = text;
    update();
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(color_));
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    int x = 0;
    for (const Panel& panel : panels_) {
        // Sunken panel: dark top-left edge, light bottom-right edge.
        const QRect r(x, 2, panel.width - 2, height() - 3);
        p.setPen(shadow);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(panel.text));
        x += panel.width;
    }
}
