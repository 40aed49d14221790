#pragma once
// A status bar of fixed-width panels on a background of its own colour.
#include <QWidget>
#include <string>
#include <vector>

#include "core/color.h"

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    TStatusBar(QWidget* parent, std::vector<int> panelWidths);

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    std::string PanelText(int index) const { return panels_.at(index).text; }
    void SetPanelText(int index, const std::string& text);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    int PanelWidth(int index) const { return panels_.at(index).width; }
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    struct Panel {
        int width;
        std::string text;
    };
    std::vector<Panel> panels_;
    TColor color_;
    std::string hint_;
};
