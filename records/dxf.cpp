#include "records/dxf.h"

#include <array>
#include <charconv>
#include <cmath>

namespace capbeam {

namespace {

constexpr std::array<DrawingLayer, 4> kLayers{DrawingLayer::CentreLine, DrawingLayer::Edge, DrawingLayer::Beam,
                                              DrawingLayer::Point};

// AutoCAD's colour numbers: the centre line red, the edges white (black on
// paper), the beams yellow, the points green.
int ColourOf(DrawingLayer layer) {
    switch (layer) {
        case DrawingLayer::CentreLine: return 1;
        case DrawingLayer::Edge: return 7;
        case DrawingLayer::Beam: return 2;
        case DrawingLayer::Point: return 3;
    }
    return 7;
}

class Writer {
public:
    explicit Writer(const DxfCodePage& codePage) : codePage_(codePage) {}

    void Tag(int code, std::string_view value) {
        out_ += std::to_string(code);
        out_ += "\r\n";
        out_ += value;
        out_ += "\r\n";
    }
    void Tag(int code, int value) { Tag(code, std::to_string(value)); }
    // A number with every digit it needs; never "-0".
    void Number(int code, double value) {
        if (value == 0) value = 0;
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        Tag(code, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
    }
    // A name or a text in the file's code page, on one line.
    void Text(int code, std::string_view utf8) {
        std::string line(utf8);
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        Tag(code, codePage_.encode ? codePage_.encode(line) : line);
    }
    // DXF's X is the easting, its Y the northing.
    void Point(int code, const WorldPoint& p) {
        Number(code, p.Y);
        Number(code + 10, p.X);
        Number(code + 20, 0);
    }
    void Entity(std::string_view type, DrawingLayer layer) {
        Tag(0, type);
        Text(8, LayerName(layer));
    }
    std::string Take() { return std::move(out_); }

private:
    const DxfCodePage& codePage_;
    std::string out_;
};

// Degrees counter-clockwise from the east, as DXF measures angles, for an
// azimuth (clockwise from the north).
double DxfAngle(double azimuth) {
    double a = std::fmod(90 - azimuth, 360.0);
    if (a < 0) a += 360;
    return a;
}

void Header(Writer& w, const PlanDrawing& d, const DxfCodePage& codePage) {
    w.Tag(0, "SECTION");
    w.Tag(2, "HEADER");
    w.Tag(9, "$ACADVER");
    w.Tag(1, "AC1009");
    w.Tag(9, "$DWGCODEPAGE");
    w.Tag(3, codePage.name);
    if (!d.bounds.empty) {
        w.Tag(9, "$EXTMIN");
        w.Point(10, {d.bounds.minX, d.bounds.minY});
        w.Tag(9, "$EXTMAX");
        w.Point(10, {d.bounds.maxX, d.bounds.maxY});
    }
    w.Tag(0, "ENDSEC");
}

void Tables(Writer& w) {
    w.Tag(0, "SECTION");
    w.Tag(2, "TABLES");
    w.Tag(0, "TABLE");
    w.Tag(2, "LTYPE");
    w.Tag(70, 1);
    w.Tag(0, "LTYPE");
    w.Tag(2, "CONTINUOUS");
    w.Tag(70, 0);
    w.Tag(3, "Solid line");
    w.Tag(72, 65);
    w.Tag(73, 0);
    w.Number(40, 0);
    w.Tag(0, "ENDTAB");

    // Layer 0, which every drawing has, and the drawing's own four.
    w.Tag(0, "TABLE");
    w.Tag(2, "LAYER");
    w.Tag(70, static_cast<int>(kLayers.size()) + 1);
    w.Tag(0, "LAYER");
    w.Tag(2, "0");
    w.Tag(70, 0);
    w.Tag(62, 7);
    w.Tag(6, "CONTINUOUS");
    for (const DrawingLayer layer : kLayers) {
        w.Tag(0, "LAYER");
        w.Text(2, LayerName(layer));
        w.Tag(70, 0);
        w.Tag(62, ColourOf(layer));
        w.Tag(6, "CONTINUOUS");
    }
    w.Tag(0, "ENDTAB");

    // Chinese names need a big font: AutoCAD's own for GB 2312 text.
    w.Tag(0, "TABLE");
    w.Tag(2, "STYLE");
    w.Tag(70, 1);
    w.Tag(0, "STYLE");
    w.Tag(2, "STANDARD");
    w.Tag(70, 0);
    w.Number(40, 0);
    w.Number(41, 1);
    w.Number(50, 0);
    w.Tag(71, 0);
    w.Number(42, kDxfTextHeight);
    w.Tag(3, "txt");
    w.Tag(4, "gbcbig.shx");
    w.Tag(0, "ENDTAB");
    w.Tag(0, "ENDSEC");
}

void Entities(Writer& w, const PlanDrawing& d) {
    w.Tag(0, "SECTION");
    w.Tag(2, "ENTITIES");
    for (const DrawingLine& line : d.lines) {
        w.Entity("LINE", line.layer);
        w.Point(10, line.from);
        w.Point(11, line.to);
    }
    for (const DrawingArc& arc : d.arcs) {
        // Clockwise from `fromAzimuth` is counter-clockwise to it.
        w.Entity("ARC", arc.layer);
        w.Point(10, arc.centre);
        w.Number(40, arc.radius);
        w.Number(50, DxfAngle(arc.fromAzimuth + arc.sweep));
        w.Number(51, DxfAngle(arc.fromAzimuth));
    }
    for (const DrawingPolyline& polyline : d.polylines) {
        w.Entity("POLYLINE", polyline.layer);
        w.Tag(66, 1);
        w.Point(10, {});
        w.Tag(70, 0);
        for (const WorldPoint& p : polyline.points) {
            w.Entity("VERTEX", polyline.layer);
            w.Point(10, p);
        }
        w.Entity("SEQEND", polyline.layer);
    }
    for (const DrawingPoint& point : d.points) {
        w.Entity("POINT", DrawingLayer::Point);
        w.Point(10, point.at);
        w.Entity("TEXT", DrawingLayer::Point);
        w.Point(10, {point.at.X + kDxfTextHeight / 2, point.at.Y + kDxfTextHeight / 2});
        w.Number(40, kDxfTextHeight);
        w.Text(1, point.name);
        w.Tag(7, "STANDARD");
    }
    w.Tag(0, "ENDSEC");
}

}  // namespace

std::string DxfText(const PlanDrawing& drawing, const DxfCodePage& codePage) {
    Writer w(codePage);
    Header(w, drawing, codePage);
    Tables(w);
    Entities(w, drawing);
    w.Tag(0, "EOF");
    return w.Take();
}

}  // namespace capbeam
