#include "app/caption.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace capbeam {

Caption::Caption(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QStringList Caption::Wrap(const QFontMetrics& metrics, const QString& text, int width) {
    // Lines break at blanks, as the form was drawn for: the blanks inside
    // "    圆心   纵座标 X" put "纵座标 X" on the second line. A run without blanks
    // that is wider than the box breaks between characters.
    QStringList lines;
    const auto fits = [&](int from, int to) { return metrics.horizontalAdvance(text.mid(from, to - from)) <= width; };
    int start = 0;
    const int n = static_cast<int>(text.size());
    while (start < n) {
        int end = start;  // end of the last whole word that fits
        int i = start;
        while (i < n) {
            while (i < n && text[i] == QLatin1Char(' ')) ++i;
            int j = i;
            while (j < n && text[j] != QLatin1Char(' ')) ++j;
            if (j == i || !fits(start, j)) break;
            end = j;
            i = j;
        }
        if (end == start) {  // the first word alone is too wide: as many characters as fit
            while (end < n && text[end] == QLatin1Char(' ')) ++end;
            ++end;
            while (end < n && text[end] != QLatin1Char(' ') && fits(start, end + 1)) ++end;
        }
        lines << text.mid(start, end - start);
        start = end;
        while (start < n && text[start] == QLatin1Char(' ')) ++start;
    }
    return lines;
}

void Caption::Draw(QPainter& painter, const QRect& box, const QString& text) {
    const QFontMetrics metrics(painter.font());
    const QStringList lines = Wrap(metrics, text, box.width());
    const int count = static_cast<int>(lines.size());
    // Closer lines when the box is short of room, but never closer than the
    // glyphs' ascent plus one pixel.
    const int pitch = count <= 1 ? metrics.lineSpacing()
                                 : std::clamp(box.height() / count, metrics.ascent() + 1, metrics.lineSpacing());
    for (int i = 0; i < count; ++i)
        painter.drawText(box.left(), box.top() + i * pitch + metrics.ascent(), lines[i]);
}

void Caption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setClipRect(contentsRect());
    Draw(painter, contentsRect(), text());
}

}  // namespace capbeam
