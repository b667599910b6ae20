#pragma once

#include <QLabel>

class QFontMetrics;
class QPainter;

namespace capbeam {

// A static caption of the form: word-wrapped, top-left aligned, in its fixed
// box. When the wrapped lines are taller than the box at the font's own line
// spacing, they are set closer (never overlapping ink) so that the last line
// is not cut: at 11 px the two-line boxes are 25 px high, one pixel short of
// two 13-px lines, and the descender of "Kj" would be lost.
class Caption : public QLabel {
public:
    Caption(const QString& text, QWidget* parent);

    // Draws `text` wrapped into `box` with the painter's font; what paintEvent does.
    static void Draw(QPainter& painter, const QRect& box, const QString& text);
    // The lines that `text` wraps into within `width` pixels.
    static QStringList Wrap(const QFontMetrics& metrics, const QString& text, int width);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace capbeam
