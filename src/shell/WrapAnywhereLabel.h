#pragma once
// A label that wraps at word boundaries and, where a run has none (a path), anywhere, so a long
// path shows whole when the label is tall enough and as much as fits otherwise.

#include <QLabel>

namespace korvane {

class WrapAnywhereLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrapAnywhereLabel(QWidget* parent = nullptr);

    // The height the text needs at `width` pixels (the label's contents width).
    int textHeight(int width) const;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane
